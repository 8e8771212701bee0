#pragma once
// Libraries in the layouts of earlier program versions, as SQL scripts.

// The oldest layout the upgrade knows: no version table, ratings, aliases and
// descriptions on files, thumbnails per file, the old device table, paths with
// their drive part, no result view and no date added.
inline constexpr char kOldestLibrary[] = R"SQL(
CREATE TABLE Tags (TagID INTEGER PRIMARY KEY NOT NULL, Tag TEXT(50), Type TEXT(1));
CREATE TABLE TagLinks (TagID integer, LinkedTag integer, Relationship text NOT NULL, PRIMARY KEY (TagID, LinkedTag));
CREATE TABLE SegmentTags (SegmentID integer, TagID integer, PRIMARY KEY (SegmentID, TagID));
CREATE TABLE TagCloud (TagID integer, TagCount integer);
CREATE TABLE Views (ViewSpec text, Type text NOT NULL, TagID integer PRIMARY KEY NOT NULL);
CREATE TABLE SearchResults (SegmentID integer PRIMARY KEY NOT NULL DEFAULT 0, FileID integer DEFAULT 0);
CREATE TABLE TEMP_FileTagStructure (ExplicitTagID INTEGER Default 0, TagID INTEGER Default 0, Tag TEXT(50),
  TagCategory TEXT(50), ExplicitTagCategory TEXT(50), Tier INTEGER Default 0, Type text, PRIMARY KEY (ExplicitTagID, TagID));
CREATE TABLE StorageDevices (DiskSerialNo text NOT NULL, DiskLabel text, DiskType text);
CREATE TABLE VideoFiles (FileID integer PRIMARY KEY NOT NULL, DiskSerialNo text NOT NULL, FilePath text NOT NULL,
  FileName text NOT NULL, DateTime date, FileFormat text, FileSize integer NOT NULL DEFAULT 0, Dimensions text,
  Bitrate integer, FrameRate real, Rating integer NOT NULL DEFAULT 0, FileAlias text, Description text);
CREATE TABLE VideoSegments (SegmentID integer PRIMARY KEY NOT NULL, FileID integer NOT NULL, FileFlag varchar(1),
  SelectionStart real(50) NOT NULL DEFAULT 0, SelectionEnd real);
CREATE TABLE Thumbnails (FileID integer PRIMARY KEY NOT NULL, Thumbnail blob);

INSERT INTO Tags VALUES (1, 'Unplayable', 'T'), (2, 'Saved Playlists', 'F'), (3, 'Saved Searches', 'F'),
  (4, 'Saved Views', 'F'), (10, 'Holiday', 'T'), (11, 'Zoë', 'T');
INSERT INTO StorageDevices VALUES ('1A2B3C4D', 'FILMS', 'Fixed Disk');
INSERT INTO VideoFiles VALUES
  (7, '1A2B3C4D', ':\Films\', 'Summer.avi', '2009-07-01', 'AVI', 1000, '640x480', 1500, 25, 4, 'Our summer', 'Beach'),
  (8, '1A2B3C4D', ':\Films\Old\', 'It''s.mpg', '2008-01-02', 'MPEG', 2000, '320x240', 800, 29.97, 2, NULL, NULL);
INSERT INTO VideoSegments VALUES (12, 7, 'Y', 0, 90), (20, 7, NULL, 10, 20), (21, 7, NULL, 30, 40), (13, 8, 'Y', 0, 60),
  (99, 55, 'Y', 0, 5);
INSERT INTO Thumbnails VALUES (7, X'FFD8FFE0'), (8, NULL);
INSERT INTO SegmentTags VALUES (12, 10), (20, 11), (99, 10);
)SQL";
