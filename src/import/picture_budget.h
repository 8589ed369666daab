#pragma once

#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QIODevice>
#include <QSize>
#include <QString>

// The memory a picture may take while it is decoded, and the check made on
// its headers before any pixel is decoded.
//
// A picture file is small and says how large it is; decoders believe it. A
// few hundred bytes of progressive JPEG declaring 10000 x 10000 pixels made
// the decoder allocate 600 MB for coefficients that the file never carried.
// So the cost is worked out from the declared size and the size the picture
// will be decoded at (JPEG shrinks while decoding, nothing else does), and a
// picture that would cost more than the budget is refused. So is one whose
// file is far too short to hold the pixels it declares: no coding packs them
// that tightly, so its data ended long before the picture did.
inline constexpr qint64 kPictureMemoryBudget = 256LL * 1024 * 1024;

// What decoding the picture takes, from its headers.
struct PictureDemand {
    qint64 bytes = 0;          // decoder buffers and the decoded image
    qint64 leastFileBytes = 0; // the shortest file that can hold the declared pixels
};

// The demand of the picture in device (read from its start, left where it
// was), named format as the image reader names it ("jpeg", "png" ...),
// declared as its header says, decoded at decoded into pixels of
// decodedFormat (QImage::Format_Invalid when not known).
PictureDemand EstimatePictureDemand(QIODevice& device, const QByteArray& format, QSize declared, QSize decoded,
                                    QImage::Format decodedFormat);

// The pixel format the reader will decode into, where the reader can say it
// safely. The JPEG reader answers with a value it never set when the file's
// tables are broken, so JPEGs give Format_Invalid and their demand is worked
// out from their frame header instead.
QImage::Format DecodedImageFormat(QImageReader& reader, const QByteArray& format);

// Why the picture may not be decoded, or an empty string when it may: more
// than budget bytes, or a file shorter than its pixels need. The reason reads
// after the file's name.
QString PictureBudgetProblem(QIODevice& device, const QByteArray& format, QSize declared, QSize decoded,
                             QImage::Format decodedFormat, qint64 budget = kPictureMemoryBudget);
