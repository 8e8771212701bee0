-- The schema and seed rows of a new, empty library. The build turns this text
-- into the empty-library template that the program carries; the declared types
-- are kept exactly as older libraries have them, since the upgrade probes and
-- the result view rely on these names.

CREATE TABLE Tags (
  TagID       INTEGER PRIMARY KEY NOT NULL,
  Tag         TEXT(50),
  Type        TEXT(1),
  Behaviour   varchar(1),
  CategoryID  integer,
  T9Text      text);
CREATE UNIQUE INDEX Tags_Index01 ON Tags (TagID);

CREATE TABLE TEMP_FileTagStructure (
  ExplicitTagID        INTEGER Default 0,
  TagID                INTEGER Default 0,
  Tag                  TEXT(50),
  TagCategory          TEXT(50),
  ExplicitTagCategory  TEXT(50),
  Tier                 INTEGER Default 0,
  Type                 text,
  FileFlag             varchar(1) NOT NULL DEFAULT N,
  ViaSegment           boolean,
  PRIMARY KEY (ExplicitTagID, TagID));

CREATE TABLE SearchResults (
  SegmentID  integer PRIMARY KEY NOT NULL DEFAULT 0,
  FileID     integer DEFAULT 0);
CREATE INDEX idx_FileID ON SearchResults (FileID);

CREATE TABLE SegmentTags (
  SegmentID  integer,
  TagID      integer,
  PRIMARY KEY (SegmentID, TagID));

CREATE TABLE TagLinks (
  TagID         integer,
  LinkedTag     integer,
  Relationship  text NOT NULL,
  PRIMARY KEY (TagID, LinkedTag));

CREATE TABLE Views (
  ViewSpec  text,
  Type      text NOT NULL,
  TagID     integer PRIMARY KEY NOT NULL);

CREATE TABLE FileLocations (
  DiskSerialNo  text NOT NULL,
  DiskLabel     text,
  PhysicalPath  text NOT NULL,
  LogicalPath   text NOT NULL,
  DiskType      text,
  FriendlyName  text,
  Online        boolean,
  PRIMARY KEY (DiskSerialNo, PhysicalPath, LogicalPath));

CREATE TABLE VersionData (
  Major          integer,
  Minor          integer,
  Revision       integer,
  ReleaseStatus  varchar(8));

CREATE TABLE TagCloud (
  TagID      integer,
  LinkedTag  integer,
  TagCount   integer,
  iteration  integer);

CREATE TABLE SegmentThumbnails (
  SegmentID  integer PRIMARY KEY NOT NULL,
  Thumbnail  blob,
  FileID     integer NOT NULL);
CREATE INDEX SegmentThumbnails_Index01 ON SegmentThumbnails (FileID);

CREATE TABLE VideoSegments (
  SegmentID       integer PRIMARY KEY NOT NULL,
  FileID          integer NOT NULL,
  FileFlag        varchar(1),
  SelectionStart  real(50) NOT NULL DEFAULT 0,
  SelectionEnd    real,
  Online          boolean NOT NULL,
  Rating          integer NOT NULL,
  FileAlias       text,
  Description     text);
CREATE INDEX idx_VS_FileID ON VideoSegments (FileID);

CREATE TABLE VideoFiles (
  FileID        integer PRIMARY KEY NOT NULL,
  DiskSerialNo  text NOT NULL,
  FilePath      text NOT NULL,
  FileName      text NOT NULL,
  "DateTime"    date,
  FileFormat    text,
  FileSize      integer NOT NULL DEFAULT 0,
  Dimensions    text,
  Bitrate       integer,
  FrameRate     real,
  CurrentPath   text,
  Rating        integer NOT NULL DEFAULT 0,
  DateAdded     date);
CREATE INDEX idx_VF_DiskSerialNo ON VideoFiles (DiskSerialNo);

CREATE VIEW vw_SearchResults AS SELECT VF.FileID AS FileID, VF.FileName AS FileName, VF.CurrentPath AS CurrentPath, VF.FileSize AS FileSize, VF.FileFormat AS FileFormat, VF.FrameRate AS FrameRate, VF.Bitrate AS Bitrate, VF.Dimensions AS Dimensions, VS.SegmentID AS SegmentID, VS.SelectionStart AS SelectionStart, VS.SelectionEnd AS SelectionEnd, VS.FileFlag AS FileFlag, IFNULL(VS.FileAlias,VF.FileName) AS FileAlias, VS.Description AS Description, VS.Rating AS Rating, VS.Online AS Online FROM SearchResults SR, VideoFiles VF, VideoSegments VS Where sR.SegmentID = VS.SegmentID AND VF.FileID = VS.FileID ORDER BY VF.FileID;

INSERT INTO Tags (TagID, Tag, Type, Behaviour, CategoryID, T9Text) VALUES (1, 'Unplayable', 'T', NULL, NULL, NULL);
INSERT INTO Tags (TagID, Tag, Type, Behaviour, CategoryID, T9Text) VALUES (2, 'Saved Playlists', 'F', NULL, NULL, NULL);
INSERT INTO Tags (TagID, Tag, Type, Behaviour, CategoryID, T9Text) VALUES (3, 'Saved Searches', 'F', NULL, NULL, NULL);
INSERT INTO Tags (TagID, Tag, Type, Behaviour, CategoryID, T9Text) VALUES (4, 'Saved Views', 'F', NULL, NULL, NULL);
INSERT INTO VersionData (Major, Minor, Revision, ReleaseStatus) VALUES (1, 6, 0, 'Beta');
