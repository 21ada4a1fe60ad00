// Simple command-bar images: a coloured tile with a white pictogram, drawn
// without fonts. Icons (.ico) hold 16 and 32 pixel images; pictures (.png) are 32.
#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/assetgen/Assets.h"

namespace assetgen {

namespace {

enum class Shape {
    Plus,
    Person,
    Grid,
    Lines,
    ArrowIn,
    ArrowOut,
    Cross,
    Info,
    Question,
    Crosshairs,
    Refresh,
    Window,
    Disk,
    Printer,
    Bubble,
    Key,
    Chart,
    Ring,
    Clock
};

struct Image {
    const char* name;  // without extension
    Shape shape;
    QRgb tile;
};

constexpr QRgb kBlue = 0xFF2F6FB5, kGreen = 0xFF2E8B57, kRed = 0xFFC0392B, kGrey = 0xFF5D6D7E,
               kAmber = 0xFFD68910, kTeal = 0xFF138D90, kNavy = 0xFF1B2F6B, kPurple = 0xFF7D3C98;

const std::vector<Image>& Icons() {
    static const std::vector<Image> icons{
        {"PicLS", Shape::Clock, kTeal},
        {"PicNO", Shape::Plus, kGreen},
        {"PicAccount", Shape::Person, kBlue},
        {"PicShowAll", Shape::Grid, kNavy},
        {"InterfaceImg", Shape::Window, kGrey},
        {"mnusaveas", Shape::Disk, kBlue},
        {"PicResetInterface", Shape::Refresh, kGrey},
        {"PicLogon", Shape::Person, kGreen},
        {"mnuLogin", Shape::ArrowIn, kTeal},
        {"mnu_Login", Shape::ArrowIn, kGreen},
        {"mnuremove", Shape::Cross, kRed},
        {"mnuremoveall", Shape::Cross, kPurple},
        {"mnulogoutall", Shape::ArrowOut, kPurple},
        {"mnulogout", Shape::ArrowOut, kAmber},
        {"PicJournal", Shape::Lines, kAmber},
        {"PicTerminal", Shape::Grid, kBlue},
        {"pending1", Shape::Clock, kAmber},
        {"PicNetTrade", Shape::Chart, kNavy},
        {"Close ordedr", Shape::Cross, kAmber},
        {"PicSymbol", Shape::Chart, kGreen},
        {"PicHelp", Shape::Question, kBlue},
        {"PicAbout", Shape::Info, kTeal},
        {"mnu_Exit", Shape::ArrowOut, kRed},
        {"PicAsk", Shape::Question, kPurple},
        {"CrosshairsImg", Shape::Crosshairs, kGrey},
        {"PicGrid", Shape::Grid, kTeal},
        {"PicBitmap", Shape::Window, kPurple},
        {"PicPrint", Shape::Printer, kGrey},
        {"PicList", Shape::Lines, kBlue},
        {"PicClear", Shape::Cross, kGrey},
        {"chat", Shape::Bubble, kTeal},
        {"PicHotkey", Shape::Key, kAmber},
    };
    return icons;
}

const std::vector<Image>& Pictures() {
    static const std::vector<Image> pictures{
        {"logo", Shape::Ring, kNavy},
        {"mnu_Exit", Shape::ArrowOut, kRed},
        {"PicHelp", Shape::Question, kBlue},
        {"PicAbout", Shape::Info, kTeal},
        {"mnu_Login", Shape::ArrowIn, kGreen},
        {"PicAsk", Shape::Question, kPurple},
        {"CrosshairsImg", Shape::Crosshairs, kGrey},
        {"PicGrid", Shape::Grid, kTeal},
        {"PicBitmap", Shape::Window, kPurple},
        {"PicPrint", Shape::Printer, kGrey},
        {"PicList", Shape::Lines, kBlue},
        {"PicClear", Shape::Cross, kGrey},
        {"chat", Shape::Bubble, kTeal},
        {"PicHotkey", Shape::Key, kAmber},
        {"PicResetInterface", Shape::Refresh, kGrey},
        {"InterfaceImg", Shape::Window, kGrey},
        {"PicLogon", Shape::Person, kGreen},
        {"PicLS", Shape::Clock, kTeal},
        {"PicSymbol", Shape::Chart, kGreen},
        {"PicShowAll", Shape::Grid, kNavy},
    };
    return pictures;
}

// The pictogram on a 32 x 32 grid.
void DrawShape(QPainter& p, Shape shape) {
    QPen pen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    switch (shape) {
        case Shape::Plus:
            p.drawLine(16, 8, 16, 24);
            p.drawLine(8, 16, 24, 16);
            break;
        case Shape::Person:
            p.setBrush(Qt::white);
            p.drawEllipse(QPointF(16, 11), 4, 4);
            p.drawChord(QRectF(8, 17, 16, 14), 0, 180 * 16);
            break;
        case Shape::Grid:
            p.setPen(QPen(Qt::white, 2));
            p.drawRect(7, 7, 18, 18);
            p.drawLine(7, 13, 25, 13);
            p.drawLine(7, 19, 25, 19);
            p.drawLine(14, 7, 14, 25);
            break;
        case Shape::Lines:
            for (int y : {10, 16, 22}) p.drawLine(8, y, 24, y);
            break;
        case Shape::ArrowIn:
            p.drawLine(6, 16, 18, 16);
            p.drawLine(13, 11, 18, 16);
            p.drawLine(13, 21, 18, 16);
            p.drawPolyline(
                QPolygon({QPoint(20, 7), QPoint(25, 7), QPoint(25, 25), QPoint(20, 25)}));
            break;
        case Shape::ArrowOut:
            p.drawLine(13, 16, 26, 16);
            p.drawLine(21, 11, 26, 16);
            p.drawLine(21, 21, 26, 16);
            p.drawPolyline(QPolygon({QPoint(12, 7), QPoint(7, 7), QPoint(7, 25), QPoint(12, 25)}));
            break;
        case Shape::Cross:
            p.drawLine(9, 9, 23, 23);
            p.drawLine(23, 9, 9, 23);
            break;
        case Shape::Info:
            p.drawLine(16, 14, 16, 24);
            p.setBrush(Qt::white);
            p.drawEllipse(QPointF(16, 9), 1.5, 1.5);
            break;
        case Shape::Question: {
            QPainterPath path;
            path.moveTo(11, 12);
            path.cubicTo(11, 5, 22, 5, 21, 12);
            path.cubicTo(20, 16, 16, 16, 16, 20);
            p.drawPath(path);
            p.setBrush(Qt::white);
            p.drawEllipse(QPointF(16, 25), 1.5, 1.5);
            break;
        }
        case Shape::Crosshairs:
            p.setPen(QPen(Qt::white, 2));
            p.drawEllipse(QPointF(16, 16), 8, 8);
            p.drawLine(16, 4, 16, 28);
            p.drawLine(4, 16, 28, 16);
            break;
        case Shape::Refresh:
            p.drawArc(QRectF(8, 8, 16, 16), 60 * 16, 280 * 16);
            p.drawLine(20, 7, 21, 12);
            p.drawLine(21, 12, 16, 12);
            break;
        case Shape::Window:
            p.setPen(QPen(Qt::white, 2));
            p.drawRect(6, 8, 20, 16);
            p.setBrush(Qt::white);
            p.drawRect(6, 8, 20, 4);
            break;
        case Shape::Disk:
            p.setPen(QPen(Qt::white, 2));
            p.drawRect(7, 7, 18, 18);
            p.setBrush(Qt::white);
            p.drawRect(11, 7, 10, 6);
            p.drawRect(10, 17, 12, 8);
            break;
        case Shape::Printer:
            p.setPen(QPen(Qt::white, 2));
            p.drawRect(10, 6, 12, 7);
            p.setBrush(Qt::white);
            p.drawRect(6, 13, 20, 9);
            p.setBrush(Qt::NoBrush);
            p.drawRect(10, 20, 12, 6);
            break;
        case Shape::Bubble: {
            p.setBrush(Qt::white);
            p.drawRoundedRect(QRectF(6, 7, 20, 13), 4, 4);
            p.drawPolygon(QPolygon({QPoint(11, 19), QPoint(10, 26), QPoint(17, 19)}));
            break;
        }
        case Shape::Key:
            p.drawEllipse(QPointF(11, 16), 4, 4);
            p.drawLine(15, 16, 26, 16);
            p.drawLine(22, 16, 22, 21);
            p.drawLine(26, 16, 26, 20);
            break;
        case Shape::Chart:
            p.drawPolyline(
                QPolygon({QPoint(6, 23), QPoint(12, 15), QPoint(18, 19), QPoint(26, 8)}));
            break;
        case Shape::Ring:
            p.setPen(QPen(Qt::white, 4));
            p.drawEllipse(QPointF(16, 16), 9, 9);
            p.setBrush(Qt::white);
            p.drawEllipse(QPointF(16, 16), 3, 3);
            break;
        case Shape::Clock:
            p.setPen(QPen(Qt::white, 2));
            p.drawEllipse(QPointF(16, 16), 9, 9);
            p.drawLine(16, 16, 16, 10);
            p.drawLine(16, 16, 20, 18);
            break;
    }
}

QImage Draw(const Image& image, int size) {
    QImage out(size, size, QImage::Format_ARGB32);
    out.fill(Qt::transparent);
    QPainter p(&out);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor::fromRgba(image.tile));
    p.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);
    DrawShape(p, image.shape);
    p.end();
    return out;
}

std::string Png(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

void Put16(std::string& out, uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// One icon image as the icon format keeps it: a 32-bit bitmap, rows bottom up,
// then an all-clear transparency mask (the alpha channel decides).
std::string IconBitmap(const QImage& image) {
    const auto size = static_cast<uint32_t>(image.width());
    const uint32_t maskRow = ((size + 31) / 32) * 4;
    std::string out;
    Put32(out, 40);
    Put32(out, size);
    Put32(out, size * 2);  // colour and mask halves
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, 0);
    Put32(out, size * size * 4 + maskRow * size);
    for (int i = 0; i < 4; ++i) Put32(out, 0);
    for (int y = image.height() - 1; y >= 0; --y)
        for (int x = 0; x < image.width(); ++x) Put32(out, image.pixel(x, y));  // B G R A bytes
    out.append(maskRow * size, '\0');
    return out;
}

std::string Ico(const Image& image) {
    std::vector<std::string> bitmaps;
    for (int size : {16, 32}) bitmaps.push_back(IconBitmap(Draw(image, size)));
    std::string out;
    Put16(out, 0);
    Put16(out, 1);  // icon
    Put16(out, static_cast<uint32_t>(bitmaps.size()));
    auto offset = static_cast<uint32_t>(6 + 16 * bitmaps.size());
    for (size_t i = 0; i < bitmaps.size(); ++i) {
        const int size = i == 0 ? 16 : 32;
        out += static_cast<char>(size);
        out += static_cast<char>(size);
        out += '\0';  // no palette
        out += '\0';
        Put16(out, 1);
        Put16(out, 32);
        Put32(out, static_cast<uint32_t>(bitmaps[i].size()));
        Put32(out, offset);
        offset += static_cast<uint32_t>(bitmaps[i].size());
    }
    for (const std::string& bitmap : bitmaps) out += bitmap;
    return out;
}

// The brand picture of the about box: the chart pictogram on a large navy tile.
std::string BrandPicture() {
    constexpr int kSide = 96;
    QImage out(kSide, kSide, QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter p(&out);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(kSide / 32.0, kSide / 32.0);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor::fromRgba(kNavy));
    p.drawRoundedRect(QRectF(1, 1, 30, 30), 5, 5);
    DrawShape(p, Shape::Chart);
    p.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!out.save(&buffer, "JPG", 90)) throw std::runtime_error("no JPEG writer for ufd.jpg");
    return bytes.toStdString();
}

}  // namespace

void WriteBrandPicture(const std::filesystem::path& assets) {
    WriteFile(assets / "Manage" / "ufd.jpg", BrandPicture());
}

void WriteImages(const std::filesystem::path& assets) {
    const std::filesystem::path dir = assets / "images and icons" / "QDsk";
    for (const Image& icon : Icons()) WriteFile(dir / (std::string(icon.name) + ".ico"), Ico(icon));
    for (const Image& picture : Pictures())
        WriteFile(dir / (std::string(picture.name) + ".png"), Png(Draw(picture, 32)));
}

}  // namespace assetgen
