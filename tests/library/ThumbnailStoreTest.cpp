// The thumbnail cache on its own: pictures held, pictures read from the rows
// they name (through a read cache of bounded size), shared pictures, and the
// failures of a keyed collection for missing and repeated keys (the map
// from segment to row: SegmentIdMapTest.cpp).
#include "library/ThumbnailStore.h"
#include "platform/RWError.h"
#include "tests/library/TagStoreFixture.h"

#include <functional>

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
  // The next page, of as many rows to read (1, 2 and 4 before), reads its own.
  for (int segment : {7, 8, 9}) {
    Row(segment, QByteArray("page").append(char('0' + segment)).constData());
    ahead.AddOwnRow(segment);
  }
  ahead.ReadAhead({7, 8, 9});
  for (int segment : {7, 8, 9}) Row(segment, "gone");
  EXPECT_EQ(ahead.Item(7), QByteArray("page7"));
  EXPECT_EQ(ahead.Item(9), QByteArray("page9"));
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

}  // namespace
