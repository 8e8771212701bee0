// The thumbnail cache on its own: pictures held, pictures read from the rows
// they name (through a read cache of bounded size), shared pictures, and the
// failures of a keyed collection for missing and repeated keys.
#include "library/SegmentIdMap.h"
#include "library/ThumbnailStore.h"
#include "platform/RWError.h"
#include "tests/library/TagStoreFixture.h"

#include <climits>
#include <functional>
#include <map>
#include <random>

namespace {

class ThumbnailStoreTest : public rwtest::TagStoreTest {
 protected:
  void Row(int segment, const char* bytes) {
    Exec(QStringLiteral("INSERT OR REPLACE INTO SegmentThumbnails (SegmentID, FileID, Thumbnail) VALUES (%1, 1, X'%2')")
             .arg(segment)
             .arg(QString::fromLatin1(QByteArray(bytes).toHex())));
  }
  static int ErrorOf(const std::function<void()>& work) {
    try {
      work();
    } catch (const RWError& error) {
      return error.Number();
    }
    return 0;
  }
};

TEST_F(ThumbnailStoreTest, TheReadCacheKeepsTheMostRecentPicturesAndReadsEvictedOnesAgain) {
  ThumbnailStore store(2);
  store.Attach(&Db());
  for (int segment : {1, 2, 3}) {
    Row(segment, QByteArray("old").append(char('0' + segment)).constData());
    store.AddOwnRow(segment);
  }
  EXPECT_EQ(store.Item(1), QByteArray("old1"));
  EXPECT_EQ(store.Item(2), QByteArray("old2"));
  EXPECT_EQ(store.Item(1), QByteArray("old1")) << "1 is now the most recent";
  EXPECT_EQ(store.Item(3), QByteArray("old3")) << "reading 3 evicts 2, the least recent";
  EXPECT_EQ(store.ReadCacheCount(), 2);

  // Rows changed behind the store's back tell which pictures it kept.
  for (int segment : {1, 2, 3}) Row(segment, QByteArray("new").append(char('0' + segment)).constData());
  EXPECT_EQ(store.Item(3), QByteArray("old3")) << "kept";
  EXPECT_EQ(store.Item(1), QByteArray("old1")) << "kept";
  EXPECT_EQ(store.Item(2), QByteArray("new2")) << "evicted, so read again; this evicts 3";
  EXPECT_EQ(store.Item(3), QByteArray("new3"));
  EXPECT_EQ(store.ReadCacheCount(), 2);
  EXPECT_EQ(store.Count(), 3);

  // Reading a page ahead keeps its pictures as read then, a row that is gone
  // as no picture, and what the cache held already as it was.
  ThumbnailStore ahead(8);
  ahead.Attach(&Db());
  for (int segment : {1, 2, 3, 4}) ahead.AddOwnRow(segment);  // 4 has no row
  ahead.Share(5, 1);
  ahead.Add(QByteArray("held6"), 6);
  EXPECT_EQ(ahead.Item(3), QByteArray("new3"));
  Row(3, "newer3");
  ahead.ReadAhead({1, 2, 3, 4, 5, 6, 404});
  EXPECT_EQ(ahead.ReadCacheCount(), 4);
  for (int segment : {1, 2}) Row(segment, "gone");
  EXPECT_EQ(ahead.Item(1), QByteArray("new1"));
  EXPECT_EQ(ahead.Item(5), QByteArray("new1"));
  EXPECT_EQ(ahead.Item(2), QByteArray("new2"));
  EXPECT_EQ(ahead.Item(3), QByteArray("new3")) << "cached before the read ahead";
  EXPECT_TRUE(ahead.Item(4).isEmpty());
  EXPECT_EQ(ahead.Item(6), QByteArray("held6"));
}

TEST_F(ThumbnailStoreTest, MissingRowsGiveNoBytesAndKeysFailLikeAKeyedCollection) {
  ThumbnailStore store;
  store.Attach(&Db());
  store.AddOwnRow(9);  // no such row
  Exec(QStringLiteral("INSERT INTO SegmentThumbnails (SegmentID, FileID, Thumbnail) VALUES (8, 1, NULL)"));
  store.AddOwnRow(8);
  EXPECT_TRUE(store.Item(9).isEmpty());
  EXPECT_TRUE(store.Item(8).isEmpty());
  store.Add(QByteArray("held"), 0);
  EXPECT_EQ(store.Item(0), QByteArray("held"));

  EXPECT_EQ(ErrorOf([&] { store.Item(404); }), kErrInvalidArgument);
  EXPECT_EQ(ErrorOf([&] { store.Remove(404); }), kErrInvalidArgument);
  EXPECT_EQ(ErrorOf([&] { store.Add(QByteArray("again"), 9); }), kErrDuplicateKey) << "a named row counts as present";
  EXPECT_EQ(ErrorOf([&] { store.Add(QByteArray("again"), 0); }), kErrDuplicateKey);
  store.AddOwnRow(0);
  EXPECT_EQ(store.Item(0), QByteArray("held")) << "a present segment keeps its picture";
  EXPECT_EQ(store.Count(), 3);

  store.Remove(9);
  store.Remove(0);
  EXPECT_FALSE(store.Exists(9));
  EXPECT_FALSE(store.Exists(0));
  store.Clear();
  EXPECT_EQ(store.Count(), 0);
  EXPECT_FALSE(store.Exists(8));
}

TEST_F(ThumbnailStoreTest, SharersShowTheSourcesPictureAndKeepItWhenTheRowChanges) {
  ThumbnailStore store;
  store.Attach(&Db());
  Row(1, "file");
  store.AddOwnRow(1);
  store.Share(20, 1);
  store.Share(21, 1);
  store.Share(22, 404);
  store.Add(QByteArray("held"), 5);
  store.Share(23, 5);
  EXPECT_EQ(store.Item(20), QByteArray("file"));
  EXPECT_FALSE(store.Exists(22)) << "a source without a picture shares nothing";
  EXPECT_EQ(store.Item(23), QByteArray("held"));

  store.Remove(21);
  store.KeepSharedCopies(1);
  Row(1, "replaced");
  store.StoreOwnRow(1, QByteArray("replaced"));
  EXPECT_EQ(store.Item(1), QByteArray("replaced"));
  EXPECT_EQ(store.Item(20), QByteArray("file")) << "the copy of the picture it showed";
  EXPECT_FALSE(store.Exists(21)) << "a removed sharer stays removed";

  // A segment given its own row shows it, also when it held bytes before.
  Row(23, "own");
  store.StoreOwnRow(23, QByteArray("own"));
  EXPECT_EQ(store.Item(23), QByteArray("own"));
  EXPECT_EQ(store.Count(), 4);
}

TEST_F(ThumbnailStoreTest, PicturesComeFromTheConnectionAttachedLast) {
  Row(1, "first");
  const QString copy = ScratchPath(QStringLiteral("Copy.rw2"));
  Db().CopyTo(copy);
  auto other = SqlConnection::Open(copy);
  other->Execute(QStringLiteral("UPDATE SegmentThumbnails SET Thumbnail = X'%1'")
                     .arg(QString::fromLatin1(QByteArray("second").toHex())));
  ThumbnailStore store;
  store.Attach(&Db());
  store.AddOwnRow(1);
  EXPECT_EQ(store.Item(1), QByteArray("first"));
  store.Attach(other.get());
  EXPECT_EQ(store.Item(1), QByteArray("second")) << "nothing read from the first file is kept";
  store.Attach(nullptr);
  other.reset();
  EXPECT_TRUE(store.Item(1).isEmpty()) << "no library: no picture";
  EXPECT_TRUE(store.Exists(1));
}

// The segments' map keeps whatever IDs and values it is given, however its
// vector grows past IDs it held in its hash: it is checked against a plain
// map after every change of a long random walk.
TEST(SegmentIdMapTest, EveryIdAndValueReadsBackAsAPlainMapHoldsIt) {
  SegmentIdMap map;
  std::map<int32_t, int32_t> expected;
  std::mt19937 random(7);
  // Dense IDs mostly, some far beyond the rest (held in the hash until the
  // vector reaches them), negative ones, the extremes, and the value the
  // vector marks its free places with.
  const auto id = [&random]() -> int32_t {
    switch (random() % 10) {
      case 0:
        return 9000 + static_cast<int32_t>(random() % 20000);
      case 1:
        return -static_cast<int32_t>(random() % 50);
      case 2:
        return random() % 2 ? INT32_MAX : INT32_MIN;
      default:
        return static_cast<int32_t>(random() % 12000);
    }
  };
  for (int step = 0; step < 40000; ++step) {
    const int32_t key = id();
    if (random() % 4 == 0) {
      EXPECT_EQ(map.Remove(key), expected.erase(key) == 1);
    } else {
      const int32_t value = random() % 16 == 0 ? INT32_MIN : static_cast<int32_t>(random() % 100000);
      map.Insert(key, value);
      expected[key] = value;
    }
    ASSERT_EQ(map.Size(), static_cast<int>(expected.size())) << "step " << step;
    const int32_t* found = map.Find(key);
    const auto there = expected.find(key);
    ASSERT_EQ(found != nullptr, there != expected.end()) << "step " << step << " id " << key;
    if (found) {
      ASSERT_EQ(*found, there->second) << "step " << step << " id " << key;
    }
  }
  for (const auto& [key, value] : expected) {
    ASSERT_TRUE(map.Contains(key)) << key;
    EXPECT_EQ(*map.Find(key), value) << key;
  }
  EXPECT_FALSE(map.Contains(12345678));
  map.Clear();
  EXPECT_EQ(map.Size(), 0);
  EXPECT_FALSE(map.Contains(1));
}

}  // namespace
