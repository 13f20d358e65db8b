// The committed pictures and icon: their file structure, read byte by byte, and that the
// program's own resources load each of them.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "qt_pictures.h"

namespace tempulix {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes readFile(const std::string& name) {
  std::ifstream in(std::string(TEMPULIX_RESOURCES_DIR) + "/" + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
unsigned le16(const Bytes& b, std::size_t at) {
  return b.at(at) | b.at(at + 1) << 8;
}
unsigned le32(const Bytes& b, std::size_t at) {
  return le16(b, at) | le16(b, at + 2) << 16;
}

// What the GIF blocks say, walked the way a decoder walks them.
struct GifFacts {
  std::string signature;
  unsigned width = 0, height = 0, paletteEntries = 0;
  int transparentIndex = -1, images = 0, interlaced = 0;
  unsigned imageLeft = 0, imageTop = 0, imageWidth = 0, imageHeight = 0;
  bool trailer = false;
};

GifFacts readGif(const Bytes& b) {
  GifFacts f;
  f.signature.assign(b.begin(), b.begin() + 6);
  f.width = le16(b, 6);
  f.height = le16(b, 8);
  const unsigned packed = b.at(10);
  f.paletteEntries = (packed & 0x80) ? 2u << (packed & 7) : 0;
  std::size_t at = 13 + 3 * f.paletteEntries;
  auto skipSubBlocks = [&] {
    while (b.at(at) != 0) at += b.at(at) + 1;
    ++at;
  };
  while (at < b.size()) {
    const std::uint8_t introducer = b.at(at);
    if (introducer == 0x3B) {
      f.trailer = at + 1 == b.size();
      break;
    }
    if (introducer == 0x21) {  // extension
      if (b.at(at + 1) == 0xF9 && (b.at(at + 3) & 1)) f.transparentIndex = b.at(at + 6);
      at += 2;
      skipSubBlocks();
    } else if (introducer == 0x2C) {  // image
      ++f.images;
      f.imageLeft = le16(b, at + 1);
      f.imageTop = le16(b, at + 3);
      f.imageWidth = le16(b, at + 5);
      f.imageHeight = le16(b, at + 7);
      const unsigned imagePacked = b.at(at + 9);
      f.interlaced += (imagePacked & 0x40) != 0;
      at += 10 + ((imagePacked & 0x80) ? 3 * (2u << (imagePacked & 7)) : 0) + 1;  // + LZW size
      skipSubBlocks();
    } else {
      ADD_FAILURE() << "unknown block " << int(introducer) << " at " << at;
      break;
    }
  }
  return f;
}

TEST(PicturesTest, ButtonPicturesAreOneTransparentFullSizeImage) {
  for (const char* name : {"start.gif", "stop.gif", "reset.gif", "exit.gif"}) {
    const Bytes bytes = readFile(name);
    ASSERT_GT(bytes.size(), 800u) << name;
    const GifFacts f = readGif(bytes);
    EXPECT_EQ(f.signature, "GIF89a") << name;
    EXPECT_EQ(f.width, 32u) << name;
    EXPECT_EQ(f.height, 32u) << name;
    EXPECT_EQ(f.paletteEntries, 256u) << name;
    EXPECT_EQ(f.transparentIndex, 0) << name;
    EXPECT_EQ(f.images, 1) << name;
    EXPECT_EQ(f.interlaced, 0) << name;
    EXPECT_EQ(f.imageLeft + f.imageTop, 0u) << name;
    EXPECT_EQ(f.imageWidth, 32u) << name;
    EXPECT_EQ(f.imageHeight, 32u) << name;
    EXPECT_TRUE(f.trailer) << name;
  }
}

TEST(PicturesTest, ClockIconIsOne32PixelTrueColourImageWithMask) {
  const Bytes b = readFile("clock.ico");
  ASSERT_GE(b.size(), 22u);
  EXPECT_EQ(le16(b, 0), 0u);  // reserved
  EXPECT_EQ(le16(b, 2), 1u);  // icon
  ASSERT_EQ(le16(b, 4), 1u);  // one image
  EXPECT_EQ(b[6], 32);
  EXPECT_EQ(b[7], 32);
  EXPECT_EQ(le16(b, 12), 24u);  // bits per pixel in the directory
  const unsigned size = le32(b, 14), offset = le32(b, 18);
  EXPECT_EQ(size, 3240u);  // header 40 + colour 32*32*3 + mask 32 rows * 4 bytes
  ASSERT_EQ(offset + size, b.size());
  EXPECT_EQ(le32(b, offset), 40u);       // BITMAPINFOHEADER
  EXPECT_EQ(le32(b, offset + 4), 32u);   // width
  EXPECT_EQ(le32(b, offset + 8), 64u);   // colour and mask stacked
  EXPECT_EQ(le16(b, offset + 14), 24u);  // bits per pixel
  EXPECT_EQ(le32(b, offset + 16), 0u);   // uncompressed
  // The mask's first row: the corner lies outside the round face, so it is transparent.
  EXPECT_EQ(b[offset + 40 + 32 * 32 * 3] & 0x80, 0x80);
}

TEST(PicturesTest, ProgramLoadsEveryPicture) {
  for (const Picture picture :
       {Picture::start, Picture::stop, Picture::reset, Picture::exit, Picture::clock}) {
    const QIcon icon = pictureIcon(picture);
    ASSERT_FALSE(icon.isNull()) << int(picture);
    const QImage image = icon.pixmap(32, 32).toImage();
    EXPECT_EQ(image.size(), QSize(32, 32)) << int(picture);
    EXPECT_TRUE(image.hasAlphaChannel()) << int(picture);
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << "corner should show the button through";
    EXPECT_EQ(qAlpha(image.pixel(16, 16)), 255) << int(picture);
  }
}

// At each scale a screen may have, the icon gives the drawing made for it, pixel for pixel; between
// the drawn sizes, the next larger drawing scaled down; above them, the largest.
TEST(PicturesTest, ButtonPicturesAreDrawnForEachScale) {
  const struct {
    qreal scale;
    int pixels;
    const char* drawing;  // for the start picture, where it is given as it is
  } rows[] = {{1.0, 32, "start.gif"},
              {1.25, 40, "scaled/start-40.png"},
              {1.5, 48, "scaled/start-48.png"},
              {2.0, 64, "scaled/start-64.png"},
              {1.75, 56, nullptr},
              {3.0, 64, "scaled/start-64.png"}};
  // The choice must not depend on which scales were asked for before (a window moved between
  // screens): the rows are walked in order, then backwards, each time on a new icon.
  for (const bool backwards : {false, true}) {
    const QIcon icon = pictureIcon(Picture::start);
    for (std::size_t i = 0; i < std::size(rows); ++i) {
      const auto& row = rows[backwards ? std::size(rows) - 1 - i : i];
      const QPixmap pixmap = icon.pixmap(QSize(32, 32), row.scale);
      EXPECT_EQ(pixmap.size(), QSize(row.pixels, row.pixels))
          << row.scale << (backwards ? " backwards" : "");
      if (row.drawing) {
        QImage shown = pixmap.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        shown.setDevicePixelRatio(1);  // compared pixel for pixel
        const QImage drawn(QString::fromUtf8(TEMPULIX_RESOURCES_DIR "/") + row.drawing);
        EXPECT_EQ(shown, drawn.convertToFormat(QImage::Format_ARGB32_Premultiplied))
            << row.drawing << (backwards ? " backwards" : "");
      }
    }
  }
  // The exit picture looks the same when disabled, at every scale.
  const QIcon exit = pictureIcon(Picture::exit, true);
  for (const qreal scale : {1.0, 1.5, 2.0}) {
    EXPECT_EQ(exit.pixmap(QSize(32, 32), scale, QIcon::Disabled).toImage(),
              exit.pixmap(QSize(32, 32), scale).toImage())
        << scale;
  }
}

}  // namespace
}  // namespace tempulix

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);  // icons need a GUI application
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
