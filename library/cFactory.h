#pragma once
// The constructor object of the general library services: it makes database
// connections and recordsets, keyed collections, image surfaces and the JPEG
// codec. One program-wide instance, gFactory, is usable from the first call.
#include "platform/ImageSurface.h"
#include "platform/JpegCodec.h"
#include "platform/KeyedCollection.h"
#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"

#include <memory>

class cFactory {
 public:
  // An existing database file, opened read-write (never created).
  std::unique_ptr<SqlConnection> OpenConnection(const QString& path) const { return SqlConnection::Open(path); }
  // A new, empty database file; fails when the path exists.
  std::unique_ptr<SqlConnection> NewDatabase(const QString& path) const { return SqlConnection::Create(path); }
  std::unique_ptr<SqlRecordset> NewRecordset(SqlConnection& connection, const QString& sql) const {
    return connection.OpenRecordset(sql);
  }
  template <typename T>
  KeyedCollection<T> NewCollection() const {
    return KeyedCollection<T>();
  }
  ImageSurfacePtr NewSurface(int width, int height) const { return std::make_shared<ImageSurface>(width, height); }
  std::unique_ptr<JpegCodec> NewJpegCodec() const { return std::make_unique<JpegCodec>(); }
};

extern cFactory gFactory;
