#include "addressbook/card_pipeline.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace addressbook {
namespace {

vcard::Card NumberedCard(int i) {
    vcard::Card card;
    card.line = 1 + 5 * i;
    card.version = "3.0";
    card.properties.push_back({"", "N", {}, "Name" + std::to_string(i) + ";Ann;;;", card.line + 2});
    if (i % 3 == 0) {
        card.properties.push_back({"", "BDAY", {}, "1980-04-01", card.line + 3});
    }
    return card;
}

// Many batches' worth of cards come out as the entries a plain loop makes, in
// the cards' order, with the same tally; a card count that is not a whole
// number of batches leaves nothing behind.
TEST(CardPipelineTest, EntriesComeOutInOrderAsALoopMakesThem) {
    for (int cards : {0, 1, 255, 256, 1001}) {
        std::vector<std::unique_ptr<CAddressEntry>> piped;
        vcard::KeptTally pipedKept;
        {
            CCardPipeline pipeline(piped, pipedKept);
            for (int i = 0; i < cards; ++i) {
                vcard::Card card = NumberedCard(i);
                pipeline.Add(card);
            }
            pipeline.Finish();
        }
        vcard::KeptTally loopKept;
        ASSERT_EQ(piped.size(), static_cast<std::size_t>(cards));
        for (int i = 0; i < cards; ++i) {
            const CAddressEntry expected = vcard::EntryFromCard(NumberedCard(i), loopKept);
            EXPECT_EQ(piped[i]->GetField(LastName), expected.GetField(LastName));
            EXPECT_TRUE(piped[i]->Extra() == expected.Extra()) << "card " << i;
        }
        EXPECT_EQ(pipedKept, loopKept) << cards << " cards";
    }
}

}  // namespace
}  // namespace addressbook
