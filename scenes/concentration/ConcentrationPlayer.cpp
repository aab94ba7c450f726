// ConcentrationPlayer.cpp: the computer opponent of the card game. It
// remembers every card turned up, by either side, and the pairs whose two
// cards it has seen; on its turn it plays a known pair with the chance the
// room's data give it, or turns cards at random. It never takes a third
// pair in a row, and the script can make it play at random throughout.
#include "scenes/concentration/Concentration.h"

namespace {

// After this many pairs in one turn the computer plays its first card at
// random and never picks the partner as its second.
constexpr int kPairsInARowLimit = 2;
// The memory chance is drawn from 0..100.
constexpr int kPercentBound = 100;

} // namespace

int Concentration::findPartner(int n)
{
    if (n < 0 || n >= CARD_COUNT)
        return -1;
    for (int k = 0; k < CARD_COUNT; ++k) {
        if (k != n && m_cards[k].value == m_cards[n].value)
            return k;
    }
    return -1;
}

void Concentration::rememberCard(int n)
{
    if (n < 0 || n >= CARD_COUNT)
        return;
    m_cards[n].seen = true;
    if (m_seen.indexOf(n) < 0)
        m_seen.addElement(n);
    const int partner = findPartner(n);
    if (partner == -1)
        return;
    if (m_seen.indexOf(partner) >= 0 && m_knownPairs.indexOf(partner) < 0)
        m_knownPairs.addElement(partner);
    if (m_knownPairs.indexOf(partner) < 0 || m_knownPairs.indexOf(n) >= 0)
        return;
    m_knownPairs.addElement(n);
}

int Concentration::pickRandomCard()
{
    int candidates[CARD_COUNT];
    int m = 0;
    for (int n = 0; n < CARD_COUNT; ++n) {
        if (!m_cards[n].taken && n != m_nFirstCard && m_backs[n])
            candidates[m++] = n;
    }
    if (m == 0)
        return -1;
    int chosen = candidates[m_pDraw->nextInt(m - 1)];
    if (m_nComputerPairsInRow >= kPairsInARowLimit && m_nFirstCard != -1) {
        const int partner = findPartner(m_nFirstCard);
        // Drawn again while the partner comes up, unless it is the only
        // card left: then no other draw could ever end the loop.
        while (chosen == partner && m > 1)
            chosen = candidates[m_pDraw->nextInt(m - 1)];
    }
    return chosen;
}

void Concentration::pickComputerCard()
{
    int chosen = -1;
    if (!m_bWeakComputer) {
        if (m_nFirstCard == -1) {
            if (m_nComputerPairsInRow < kPairsInARowLimit) {
                if (m_pDraw->nextInt(kPercentBound) < m_nMemoryPercent)
                    m_bUseMemory = true;
                if (m_bUseMemory && m_knownPairs.size() >= 2) {
                    const int k = m_pDraw->nextInt(m_knownPairs.size() - 1);
                    chosen = m_knownPairs.elementAt(k);
                    m_nFirstCard = chosen;
                    m_nPlannedSecond = findPartner(chosen);
                }
            }
        } else if (m_nPlannedSecond != -1) {
            chosen = m_nPlannedSecond;
        }
    }
    if (chosen == -1)
        chosen = pickRandomCard();
    if (chosen == -1)
        return;
    selectCard(chosen);
    if (m_nFirstCard == -1)
        m_nFirstCard = chosen;
}
