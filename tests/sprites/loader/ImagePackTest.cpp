// ImagePackTest.cpp: image packs read into the loader's image table, good
// and damaged: bad headers, negative and oversized lengths, empty names,
// cut data, empty items and names that come twice.
#include "tests/sprites/loader/ManifestFixture.h"

#include "core/io/ByteArrayInputStream.h"
#include "tools/ImagePackWriter.h"

#include <functional>

namespace loadertest {
namespace {

using testsupport::Bytes;

Bytes picture(int width, uint32_t argb)
{
    return testsupport::GameData::png(width, 1, [argb](int, int) { return argb; });
}

// One item as the pack stores it.
void appendItem(Bytes& pack, int32_t length, const std::string& name, const Bytes& data, int nameLength = -1)
{
    tools::putBigEndian32(pack, uint32_t(length));
    pack.push_back(uint8_t(nameLength >= 0 ? nameLength : int(name.size()) + 1));
    pack.insert(pack.end(), name.begin(), name.end());
    if (nameLength < 0)
        pack.push_back(0);
    for (uint8_t b : data)
        pack.push_back(uint8_t(b ^ sprite::DataLoader::kImagePackKey));
}

Bytes header(int32_t count, int32_t total)
{
    Bytes pack;
    tools::putBigEndian32(pack, uint32_t(count));
    tools::putBigEndian32(pack, uint32_t(total));
    return pack;
}

class ImagePackTest : public ManifestTest {
protected:
    void SetUp() override
    {
        ManifestTest::SetUp();
        ASSERT_TRUE(load("<end>\n"));
    }

    // Reads the pack from memory; the names that came out, in table order
    // of their widths ("name:width").
    void read(const Bytes& pack)
    {
        auto* in = new io::ByteArrayInputStream(pack.data(), int(pack.size()));
        loader->readImagePack(in);
        in->release();
    }
    int widthOf(const char* name)
    {
        window::ImageBase* found = image(name);
        return found ? found->getWidth() : -1;
    }
};

TEST_F(ImagePackTest, AWrittenPackReadsBackDecoded)
{
    tools::ImagePackWriter writer(sprite::DataLoader::kImagePackKey);
    writer.add("one", picture(1, 0xFF102030u));
    writer.add("three", picture(3, 0xFF405060u));
    read(writer.build());
    EXPECT_EQ(1, widthOf("one"));
    EXPECT_EQ(3, widthOf("three"));
    ASSERT_NE(nullptr, image("three")->getPixels());
    EXPECT_EQ(0xFF405060u, image("three")->getPixels()[2]);
}

TEST_F(ImagePackTest, DamagedPacksLoadWhatComesBeforeTheDamage)
{
    const Bytes a = picture(2, 0xFF000000u);
    const Bytes b = picture(4, 0xFFFFFFFFu);
    const int32_t big = 1000000;
    struct Case {
        const char* what;
        std::function<Bytes()> build;
        int widthA;
        int widthB;
    };
    const Case cases[] = {
        {"no items", [&] { return header(0, big); }, -1, -1},
        {"a negative count", [&] { return header(-3, big); }, -1, -1},
        {"a total over ten megabytes", [&] {
             Bytes p = header(1, 10000001);
             appendItem(p, int32_t(a.size()), "a", a);
             return p;
         }, -1, -1},
        {"a total below four bytes an item", [&] {
             Bytes p = header(3, 11);
             appendItem(p, int32_t(a.size()), "a", a);
             return p;
         }, -1, -1},
        {"a negative length", [&] {
             Bytes p = header(3, big);
             appendItem(p, int32_t(a.size()), "a", a);
             appendItem(p, -5, "b", b);
             appendItem(p, int32_t(b.size()), "b", b);
             return p;
         }, 2, -1},
        {"a name length of zero", [&] {
             Bytes p = header(2, big);
             appendItem(p, int32_t(a.size()), "a", a);
             appendItem(p, int32_t(b.size()), "", b, 0);
             return p;
         }, 2, -1},
        {"a length beyond the total", [&] {
             Bytes p = header(2, int32_t(8 + 4 + 2 + a.size() + 4 + 2 + b.size() - 1));
             appendItem(p, int32_t(a.size()), "a", a);
             appendItem(p, int32_t(b.size()), "b", b);
             return p;
         }, 2, -1},
        {"an exact total", [&] {
             Bytes p = header(2, int32_t(8 + 4 + 2 + a.size() + 4 + 2 + b.size()));
             appendItem(p, int32_t(a.size()), "a", a);
             appendItem(p, int32_t(b.size()), "b", b);
             return p;
         }, 2, 4},
        {"cut data", [&] {
             Bytes p = header(2, big);
             appendItem(p, int32_t(a.size()), "a", a);
             appendItem(p, int32_t(b.size()), "b", b);
             p.resize(p.size() - 3);
             return p;
         }, 2, -1},
        {"an empty item between two", [&] {
             Bytes p = header(3, big);
             appendItem(p, 0, "a", Bytes());
             appendItem(p, int32_t(b.size()), "b", b);
             return p;
         }, -1, 4},
        {"a name given twice", [&] {
             Bytes p = header(2, big);
             appendItem(p, int32_t(a.size()), "b", a);
             appendItem(p, int32_t(b.size()), "b", b);
             return p;
         }, -1, 4},
        {"a cut header", [&] { return Bytes{0, 0, 0}; }, -1, -1},
    };
    for (const Case& c : cases) {
        loader->getImages()->clear();
        read(c.build());
        EXPECT_EQ(c.widthA, widthOf("a")) << c.what;
        EXPECT_EQ(c.widthB, widthOf("b")) << c.what;
    }
    EXPECT_TRUE(world.boxes().empty());
}

TEST_F(ImagePackTest, AMissingPackLoadsNothingQuietly)
{
    loader->loadImagePack(lang::String("absent.bin"));
    EXPECT_EQ(0, loader->getImages()->size());
    EXPECT_TRUE(world.boxes().empty());
}

} // namespace
} // namespace loadertest
