#include "desk/accounts/frmAboutOrbanel.h"

#include <QCloseEvent>
#include <QFrame>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <cmath>

#include "desk/common/DeskProcedures.h"
#include "desk/ui/WindowProcedures.h"
#include "platform/Paths.h"
#include "platform/widgets/UrlOpener.h"

namespace OrbanexDesk {

namespace {
constexpr const char* kPictureFile = "\\manage\\ufd.jpg";
constexpr const char* kNotes =
    "This desk places and manages orders for many trading accounts at once. Orders are filled "
    "at the server's market prices, which may differ from the prices shown.";
constexpr const char* kVersionText = "Version 1.0";
constexpr const char* kWebsiteText = "www.example.org";
// A picture larger than this is not a company's picture (and not decoded).
constexpr int kMaxPictureSide = 4096;
constexpr int kPictureAllocationMb = 64;
// Branding texts beyond this are cut for display.
constexpr qsizetype kLongestLabel = 200;
constexpr int kPictureSide = 96;
constexpr int kWidth = 420;
constexpr int kNotesTop = 120;
// Where the notes' design height of 100 twips puts what follows them.
constexpr double kNotesDesignTwips = 100;
constexpr QRgb kLit = 0xFF0000FF;  // blue
constexpr QRgb kDark = 0xFF000000;

// Underlined and blue when lit, plain and black when not.
void Light(QLabel& label, bool lit) {
    QFont font = label.font();
    font.setUnderline(lit);
    label.setFont(font);
    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText, QColor::fromRgb(lit ? kLit : kDark));
    label.setPalette(palette);
}

QString LabelText(const std::string& text) {
    return QString::fromStdString(text).left(kLongestLabel);
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, QRect place) {
    auto* label = new QLabel(text, parent);
    // The branding file's texts are shown as written, never read as markup.
    label->setTextFormat(Qt::PlainText);
    label->setObjectName(name);
    label->setGeometry(place);
    label->setMouseTracking(true);
    return label;
}

QFrame* MakeLine(QWidget* parent, int top) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(10, top, kWidth - 20, 2);
    return line;
}
}  // namespace

frmAboutOrbanel::frmAboutOrbanel(QWidget* parent) : QWidget(parent, Qt::Dialog) {
    setObjectName("frmAboutOrbanel");
    setWindowTitle("About");
    setMouseTracking(true);
    const int notesDesign =
        static_cast<int>(std::lround(TwipsToPixelsY(static_cast<float>(kNotesDesignTwips))));
    Image1_ = MakeLabel(this, "Image1", {}, {10, 10, kPictureSide, kPictureSide});
    Image1_->setAlignment(Qt::AlignCenter);
    const int textLeft = 20 + kPictureSide, textWidth = kWidth - textLeft - 10;
    lblCusName_ = MakeLabel(this, "lblCusName", {}, {textLeft, 14, textWidth, 22});
    lblCusWeb_ = MakeLabel(this, "lblCusWeb", {}, {textLeft, 44, textWidth, 22});
    lblCusEmail_ = MakeLabel(this, "lblCusEmail", {}, {textLeft, 74, textWidth, 22});
    lblCusWeb_->setCursor(Qt::PointingHandCursor);
    lblNotes_ = MakeLabel(this, "lblNotes", kNotes, {10, kNotesTop, kWidth - 20, notesDesign});
    lblNotes_->setWordWrap(true);
    Line1_ = MakeLine(this, kNotesTop + notesDesign + 8);
    lblVersion_ = MakeLabel(this, "lblVersion", kVersionText,
                            {10, kNotesTop + notesDesign + 16, kWidth - 20, 20});
    lbl_website_ = MakeLabel(this, "lbl_website", kWebsiteText,
                             {10, kNotesTop + notesDesign + 40, kWidth - 20, 20});
    lbl_website_->setCursor(Qt::PointingHandCursor);
    Line2_ = MakeLine(this, kNotesTop + notesDesign + 66);
    resize(kWidth, kNotesTop + notesDesign + 80);
    for (QLabel* label : {lblCusWeb_, lblCusEmail_, lblVersion_, lbl_website_})
        label->installEventFilter(this);
    installEventFilter(this);
    FixDialogFrame(*this);
}

// ---- Members ----

bool frmAboutOrbanel::EndNoteLine() {
    if (!endNoteLine_ && !loaded_) Form_Load();
    return endNoteLine_;
}

std::string frmAboutOrbanel::CompanyName() const {
    return OrbanexDesk::CompanyName();
}

void frmAboutOrbanel::ShowForm() {
    deskWebAddress_ = kDeskWebAddress;
    Form_Load();
    SetTopMost(*this, true);
    raise();
}

void frmAboutOrbanel::LabelOn(QLabel& Label) {
    Light(Label, true);
}

void frmAboutOrbanel::LabelOff(QLabel& Label) {
    Light(Label, false);
}

void frmAboutOrbanel::WebBrowse(const std::string& Address) {
    platform::widgets::OpenUrl(Address);
}

// ---- Load ----

void frmAboutOrbanel::Form_Load() {
    if (loaded_) return;
    loaded_ = true;
    LoadPicture();
    lblCusName_->setText(LabelText(CompanyName()));
    lblCusWeb_->setText(LabelText(BrandingEntry(2)));
    lblCusEmail_->setText(LabelText(BrandingEntry(3)));
    // The notes take the height their text needs; what is below them follows.
    lblNotes_->setFixedHeight(lblNotes_->heightForWidth(lblNotes_->width()));
    const int dTwips = static_cast<int>(
        std::lround(PixelsToTwipsY(lblNotes_->height()) - static_cast<float>(kNotesDesignTwips)));
    const int d = static_cast<int>(std::lround(TwipsToPixelsY(static_cast<float>(dTwips))));
    resize(width(), height() + static_cast<int>(std::lround(1.5 * d)));
    for (QWidget* below : {static_cast<QWidget*>(Line1_), static_cast<QWidget*>(Line2_),
                           static_cast<QWidget*>(lblVersion_), static_cast<QWidget*>(lbl_website_)})
        below->move(below->x(), below->y() + d);
    FitAndCenter(*this);
    ExecuteLanguage();
}

void frmAboutOrbanel::LoadPicture() {
    Image1_->clear();
    QImageReader reader(QString::fromStdString(platform::ResolvePath(kPictureFile).string()));
    reader.setDecideFormatFromContent(true);
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > kMaxPictureSide || size.height() > kMaxPictureSide)
        return;
    const int previousLimit = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(kPictureAllocationMb);
    const QImage image = reader.read();
    QImageReader::setAllocationLimit(previousLimit);
    if (image.isNull()) return;
    Image1_->setPixmap(QPixmap::fromImage(
        image.scaled(Image1_->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

void frmAboutOrbanel::closeEvent(QCloseEvent* event) {
    // The box unloads: the next ShowForm reads the branding afresh.
    loaded_ = false;
    QWidget::closeEvent(event);
}

void frmAboutOrbanel::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

// ---- Mouse ----

void frmAboutOrbanel::MouseMoveOver(const QObject* part) {
    if (part == lblCusWeb_) {
        LabelOn(*lblCusWeb_);
        LabelOff(*lblCusEmail_);
    } else if (part == lbl_website_) {
        LabelOn(*lbl_website_);
    } else if (part == lblCusEmail_) {
        LabelOff(*lblCusWeb_);
    } else if (part == lblVersion_) {
        LabelOff(*lbl_website_);
    } else if (part == this) {
        LabelOff(*lblCusWeb_);
        LabelOff(*lbl_website_);
        LabelOff(*lblCusEmail_);
    }
}

bool frmAboutOrbanel::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseMove:
            MouseMoveOver(watched);
            return watched != this;  // a label's move is not the form's too
        case QEvent::MouseButtonPress:
            // Taken, so that the release comes to the label as a click.
            return watched == lblCusWeb_ || watched == lbl_website_;
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton) break;
            if (watched == lblCusWeb_) WebBrowse("http://" + lblCusWeb_->text().toStdString());
            if (watched == lbl_website_) WebBrowse(deskWebAddress_);
            break;
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace OrbanexDesk
