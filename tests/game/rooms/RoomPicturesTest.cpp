// RoomPicturesTest.cpp: on the sample game, a room left lets its pictures
// and their textures go (puzzle rooms too, which skip their whole tick while
// hidden) and draws the very same pixels when it is entered again; the slide
// show decodes only the slide it shows.
#include "game/cutscenes/Vignette.h"
#include "game/rooms/Room.h"
#include "platform/user/WindowSurface.h"
#include "sprites/images/ImageSprite.h"
#include "sprites/script/ScriptHost.h"
#include "tests/game/support/GameFixture.h"
#include "tests/support/TestLoaderFrame.h"
#include "windowing/d3d/ImageWinDX.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <lua.hpp>

namespace gametest {
namespace {

// Frames a visit lasts before the window's picture is taken.
constexpr int kRoomVisitFrames = 12;
// A plain room to step into between two visits.
constexpr int kRoomPicturesElsewhere = 11;

class RoomPicturesTest : public GameFixture {
protected:
    void SetUp() override
    {
        if (!hasSampleGame())
            GTEST_SKIP() << "the game data is built with the tools";
        ASSERT_TRUE(startSampleGame());
        // No game's instructions open by themselves over the first visit,
        // and no task comes onto the paper (whose text the slide show
        // draws too) as the rooms are visited in any order.
        const std::string seen =
            "for n = 1, " + std::to_string(LanternfieldCanvas::GAME_COUNT) + " do LF.showIns[n] = false end; LF_TASKS = {}";
        ASSERT_EQ(0, luaL_dostring(ScriptHost::instance->getState(), seen.c_str()));
    }

    // The window's picture as last presented.
    std::vector<uint32_t> shownFrame()
    {
        std::vector<uint32_t> pixels;
        int w = 0, h = 0;
        EXPECT_TRUE(platform::readWindowFrame(canvas->getHWND(), pixels, w, h));
        return pixels;
    }
    window::ImageBase* pictureOf(Room* room, const char* sprite)
    {
        auto* s = static_cast<sprite::ImageSprite*>(room->getSprite(sprite));
        return s ? s->getImage() : nullptr;
    }
    // Goes to the room and lets the visit run; the window's picture then.
    std::vector<uint32_t> visit(int index)
    {
        canvas->changeRoom(index);
        world.stepFrames(kRoomVisitFrames);
        return shownFrame();
    }
};

TEST_F(RoomPicturesTest, ARoomLeftLetsItsPicturesGoAndDrawsTheSameOnItsReturn)
{
    enter(kRoomPicturesElsewhere);
    world.stepFrames(kRoomVisitFrames);
    // A plain room, and puzzle rooms (of which Concentration and the art
    // restoration do nothing at all in their tick while hidden).
    const std::pair<int, const char*> rooms[] = {
        {12, "GalleryInterior"}, {7, "FountainCU"}, {17, "Concentration"}, {19, "ArtRestoration"}, {20, "Maze"},
    };
    for (const auto& r : rooms) {
        SCOPED_TRACE(r.second);
        const std::vector<uint32_t> first = visit(r.first);
        visit(kRoomPicturesElsewhere);
        auto* background = static_cast<window::ImageWinDX*>(pictureOf(room(r.first), "Background"));
        ASSERT_NE(nullptr, background);
        EXPECT_FALSE(background->hasPixels()) << "the room left keeps its background";
        EXPECT_EQ(0, background->getTextureCount()) << "the room left keeps its background's textures";
        EXPECT_TRUE(visit(r.first) == first) << "the return draws other pixels";
    }
    EXPECT_TRUE(world.boxes().empty()) << world.boxes()[0].caption << ": " << world.boxes()[0].text;
}

TEST_F(RoomPicturesTest, TheSlideShowDecodesOnlyTheSlideItShows)
{
    auto* vignette = static_cast<Vignette*>(room(LanternfieldCanvas::ROOM_VIGNETTE));
    ASSERT_TRUE(vignette->isInstanceOf("Vignette"));
    // Chapter 2's group: slides 4 and 5.
    vignette->setGroup(1);
    enter(LanternfieldCanvas::ROOM_VIGNETTE);
    world.stepFrames(2);
    const std::vector<uint32_t> firstSlide = shownFrame();
    const Vignette::VignetteData& group = vignette->getGroups()[1];
    for (const Vignette::VignetteData& g : vignette->getGroups()) {
        for (int n = g.firstSlide; n < g.firstSlide + g.slideCount; ++n) {
            const std::string name = "Slide" + std::to_string(n);
            window::ImageBase* slide = pictureOf(vignette, name.c_str());
            ASSERT_NE(nullptr, slide) << name;
            EXPECT_EQ(n == group.firstSlide, slide->hasPixels()) << name;
        }
    }
    // Paging on lets the slide paged past go and shows the next one.
    vignette->advance();
    world.stepFrames(2);
    EXPECT_FALSE(pictureOf(vignette, "Slide4")->hasPixels());
    EXPECT_TRUE(pictureOf(vignette, "Slide5")->hasPixels());
    EXPECT_FALSE(shownFrame() == firstSlide);
    // Entered again, the group's first slide draws as it did.
    canvas->changeRoom(kRoomPicturesElsewhere);
    world.stepFrames(2);
    canvas->changeRoom(LanternfieldCanvas::ROOM_VIGNETTE);
    world.stepFrames(2);
    EXPECT_TRUE(shownFrame() == firstSlide);
}

} // namespace
} // namespace gametest
