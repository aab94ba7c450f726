// ShopKeeper.cpp: the shopkeeper's two poses and his clipboard routine.
#include "game/characters/ShopKeeper.h"

#include "sprites/images/AnimateSprite.h"

#include <initializer_list>

HV_DEFINE_METACLASS(ShopKeeper);

namespace {

const char* const kShopKeeperParts[] = {"ArmRB1", "ArmLB1", "HeadB1", "BlinkB1", "HeadA", "HeadD", "BlinkB", "MouthB",
                                   nullptr};
// The definition's numbers of the wait after every idle step.
constexpr int kShopKeeperWait = 7;

} // namespace

ShopKeeper::ShopKeeper() : Townsperson(kShopKeeperParts, false) {}

void ShopKeeper::buildStandingPose()
{
    bindLayer(TORSO, "TorsoB");
    bindLayer(HEAD, "HeadB");
    bindLayer(RIGHT_ARM, "ArmRB");
    bindLayer(LEFT_ARM, "ArmLB");
    bindLayer(TALK, "MouthB");
    bindLayer(BLINK, "BlinkB");
    for (int layer : {HEAD, TALK, BLINK})
        showLayerSprite(layer);
    for (int layer : {TALK, BLINK}) {
        if (m_layers[layer])
            bringToFront(m_layers[layer]);
    }
    restArms();
}

void ShopKeeper::enterIdlePose()
{
    if (m_nMood == MOOD_CLIPBOARD) {
        hideExtraParts();
        Character::enterIdlePose();
        swapLayer(RIGHT_ARM, "ArmRB1");
        swapLayer(LEFT_ARM, "ArmLB1");
        swapLayer(HEAD, "HeadB1");
        swapLayer(BLINK, "BlinkB1");
        hideLayerSprite(TALK);
        if (m_layers[BLINK])
            bringToFront(m_layers[BLINK]);
        playLayerFromStart(LEFT_ARM, 1, 2);
    }
    if (m_nMood == 0) {
        Character::enterIdlePose();
        hideExtraParts();
    }
}

void ShopKeeper::setState(const lang::String& name)
{
    if (name.equalsIgnoreCase("clipboard"))
        m_nMood = MOOD_CLIPBOARD;
    else
        Townsperson::setState(name);
}

void ShopKeeper::setConversation(bool on)
{
    if (on) {
        setState(lang::String("normal"));
        setBodyType(TYPE_B);
        playLeftArmForward();
        playRightArmForward();
    } else {
        setState(lang::String("clipboard"));
        enterIdlePose();
        playRightArmBack();
        playLeftArmBack();
    }
}

bool ShopKeeper::idleStepDue()
{
    return m_nMood == MOOD_CLIPBOARD && Townsperson::idleStepDue();
}

void ShopKeeper::showAlternativeHead()
{
    setBlinking(false);
    m_bIdlePose = true;
    hideLayerSprite(TALK);
    hideLayerSprite(BLINK);
    hideLayerSprite(HEAD);
    m_layers[TALK] = nullptr;
    m_layers[BLINK] = nullptr;
    hideChild("BlinkB");
    hideChild("BlinkB1");
    static const int kHeads[] = {TYPE_A, TYPE_B, TYPE_D};
    setHeadTypeLayers(kHeads[m_random.nextInt(2)]);
    m_nIdleCountdown = drawWait(kShopKeeperWait);
}

void ShopKeeper::replayNormalPose()
{
    m_bIdlePose = false;
    swapLayer(HEAD, "HeadB1");
    setLayerVisible(BLINK, false);
    bindLayer(BLINK, "BlinkB1");
    showLayerSprite(BLINK);
    if (m_layers[BLINK])
        bringToFront(m_layers[BLINK]);
    const int runs = 1 + m_random.nextInt(1);
    playLayerFromStart(LEFT_ARM, 1, runs);
    playLayerFromStart(RIGHT_ARM, 1, runs);
    setBlinking(true);
    m_nIdleCountdown = drawWait(kShopKeeperWait);
}
