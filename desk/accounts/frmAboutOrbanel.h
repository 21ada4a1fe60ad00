#pragma once
// The about box: the distributing company's picture, name, web address and
// e-mail address, read when the box loads from the program folder's branding
// files, so that one build can be branded per customer. Not modal, above the
// other windows. A missing or unreadable branding file or picture leaves the
// labels empty or the picture out; the box opens all the same. Esc closes it.
#include <QWidget>
#include <cstdint>
#include <string>

class QFrame;
class QLabel;

namespace OrbanexDesk {

class frmAboutOrbanel : public QWidget {
public:
    // The desk's own web address behind lbl_website.
    static constexpr const char* kDeskWebAddress = "http://www.example.org/";

    explicit frmAboutOrbanel(QWidget* parent = nullptr);

    bool EndNoteLine();
    std::string CompanyName() const;
    void ShowForm();
    int16_t Release() const { return release_; }
    void setRelease(int16_t value) { release_ = value; }
    int16_t Version() const { return version_; }
    void setVersion(int16_t value) { version_ = value; }
    int16_t Patch() const { return patch_; }
    void setPatch(int16_t value) { patch_ = value; }
    std::string NewsServer() const { return {}; }
    void setNewsServer(const std::string&) {}
    void ExecuteLanguage() {}
    void LabelOn(QLabel& Label);
    void LabelOff(QLabel& Label);
    void WebBrowse(const std::string& Address);

    void Form_Load();
    bool Loaded() const { return loaded_; }
    QLabel& Image1() { return *Image1_; }
    QLabel& lblCusName() { return *lblCusName_; }
    QLabel& lblCusWeb() { return *lblCusWeb_; }
    QLabel& lblCusEmail() { return *lblCusEmail_; }
    QLabel& lblNotes() { return *lblNotes_; }
    QLabel& lblVersion() { return *lblVersion_; }
    QLabel& lbl_website() { return *lbl_website_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void LoadPicture();
    // Hover: which labels light and which go dark over each part of the box.
    void MouseMoveOver(const QObject* part);

    QLabel* Image1_;
    QLabel* lblCusName_;
    QLabel* lblCusWeb_;
    QLabel* lblCusEmail_;
    QLabel* lblNotes_;
    QLabel* lblVersion_;
    QLabel* lbl_website_;
    QFrame* Line1_;
    QFrame* Line2_;
    std::string deskWebAddress_;
    int16_t release_ = 0;
    int16_t version_ = 0;
    int16_t patch_ = 0;
    bool endNoteLine_ = false;
    bool loaded_ = false;
};

}  // namespace OrbanexDesk
