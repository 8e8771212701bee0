#pragma once
// A library with thumbnails of known colours, on either host (the library
// alone or the running program): JPEG pictures made to order, stored rows,
// the picture a segment shows, and a colour test with a tolerance.
#include "platform/JpegCodec.h"
#include "resources/Resources.h"
#include "tests/library/TreeFixture.h"

#include <QImage>

#include <cstdlib>

namespace rwtest {

template <class Host>
class ThumbnailTestOn : public OpenLibraryTestOn<Host> {
 protected:
  static QByteArray Jpeg(COLORREF colour) {
    ImageSurface picture(100, 75);
    picture.Fill(colour);
    return JpegCodec().Encode(picture, 90);
  }
  static void StoreThumbnail(int segment, int file, const SqlValue& bytes) {
    auto insert = gLibrary->Connection().Prepare(
        QStringLiteral("INSERT INTO SegmentThumbnails (SegmentID, FileID, Thumbnail) VALUES (?, ?, ?)"));
    insert->Bind(1, segment);
    insert->Bind(2, file);
    insert->Bind(3, bytes);
    insert->Execute();
  }
  static QImage PictureOf(int segment, int file) {
    QImage picture;
    gLibrary->ThumbnailToPicture(segment, file, picture);
    return picture;
  }
  static bool Near(QRgb pixel, COLORREF colour) {
    return std::abs(qRed(pixel) - static_cast<int>(colour & 0xFF)) < 12 &&
           std::abs(qGreen(pixel) - static_cast<int>((colour >> 8) & 0xFF)) < 12 &&
           std::abs(qBlue(pixel) - static_cast<int>((colour >> 16) & 0xFF)) < 12;
  }
  static QImage NoThumb() { return LoadResPicture(QStringLiteral("NO_THUMB"), kResCustom); }

  // File 5 with the red thumbnail, its cut segment 50 without a row, its cut
  // segment 51 with an empty row, and file 6 without any thumbnail.
  void OpenWithThumbnails(int policy, const QString& sql = QString()) {
    gLibrary->ThumbnailPolicy = static_cast<int16_t>(policy);
    this->OpenWith(OpenLibraryTestOn<Host>::FileRow(5) + OpenLibraryTestOn<Host>::FileRow(6) +
                 QStringLiteral("INSERT INTO VideoSegments (SegmentID, FileID, SelectionStart, SelectionEnd, Online, "
                                "Rating) VALUES (50, 5, 1, 2, 1, 0), (51, 5, 3, 4, 1, 0);") +
                 sql,
             QStringLiteral("Policy%1.rw2").arg(policy));
  }
};

constexpr COLORREF kRedPicture = RGB(200, 40, 40);
constexpr COLORREF kBluePicture = RGB(30, 60, 210);

}  // namespace rwtest
