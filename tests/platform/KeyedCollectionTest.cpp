#include "platform/KeyedCollection.h"

#include <QByteArray>

#include <gtest/gtest.h>

namespace {

TEST(KeyedCollectionTest, KeepsInsertionOrderAndFindsByKeyOrPosition) {
  KeyedCollection<QByteArray> thumbs;
  thumbs.Add("placeholder", 0);
  thumbs.Add("seg 12", 12);
  thumbs.Add("seg 5", int64_t{5});
  thumbs.Add("text", QStringLiteral("Clé"));
  EXPECT_EQ(thumbs.Count(), 4);
  EXPECT_EQ(thumbs.ItemAt(1), QByteArray("seg 12"));
  EXPECT_EQ(thumbs.Item(5), QByteArray("seg 5"));
  EXPECT_EQ(thumbs.Item(QStringLiteral("CLÉ")), QByteArray("text")) << "text keys ignore case";
  EXPECT_FALSE(thumbs.Exists(QStringLiteral("12"))) << "the text \"12\" is not the number 12";

  thumbs.Remove(12);
  EXPECT_FALSE(thumbs.Exists(12));
  EXPECT_EQ(thumbs.ItemAt(1), QByteArray("seg 5"));
  EXPECT_EQ(thumbs.Item(QStringLiteral("clé")), QByteArray("text")) << "later items are still found";
  thumbs.RemoveAt(0);
  EXPECT_EQ(thumbs.Count(), 2);
  EXPECT_EQ(thumbs.ItemAt(0), QByteArray("seg 5"));
  thumbs.Item(5) = "changed";
  EXPECT_EQ(thumbs.ItemAt(0), QByteArray("changed"));
}

TEST(KeyedCollectionTest, DuplicateAndMissingKeysRaiseTheirErrors) {
  KeyedCollection<QString> items;
  items.Add(QStringLiteral("one"), QStringLiteral("Key"));
  try {
    items.Add(QStringLiteral("two"), QStringLiteral("KEY"));
    ADD_FAILURE() << "duplicate key accepted";
  } catch (const RWError& e) {
    EXPECT_EQ(e.Number(), kErrDuplicateKey);
  }
  EXPECT_EQ(items.Count(), 1);
  try {
    items.Item(99);
    ADD_FAILURE() << "missing key found";
  } catch (const RWError& e) {
    EXPECT_EQ(e.Number(), kErrInvalidArgument);
  }
  EXPECT_THROW(items.ItemAt(1), RWError);
  EXPECT_THROW(items.Remove(QStringLiteral("other")), RWError);
  items.Clear();
  EXPECT_EQ(items.Count(), 0);
  EXPECT_FALSE(items.Exists(QStringLiteral("key")));
}

}  // namespace
