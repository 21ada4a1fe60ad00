#pragma once
// The news-story viewer: subject, date and the story's text under its source
// pictures. Esc in the form, the text or a picture unloads it (it is deleted on
// close). Nothing in the desk opens it. GUI thread only.
#include <QWidget>
#include <string>

class QLabel;
class QPlainTextEdit;

namespace OrbanexDesk {

// The story's line breaks widened: every carriage return becomes two CR LF
// pairs (also the CR of a CR LF already there, so that one keeps its LF).
std::string ExpandCarriageReturns(const std::string& text);

class frmStory : public QWidget {
public:
    explicit frmStory(QWidget* parent = nullptr);

    void ExecuteLanguage() {}

    QPlainTextEdit& txtStory() const { return *txtStory_; }
    QLabel& lblSubject() const { return *lblSubject_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QLabel* AddPicture(const char* name);
    void FollowSize();

    QPlainTextEdit* txtStory_;
    QLabel* lblSubject_;
    QLabel* lblDateTime_;
    QLabel* picMINI_;
    QLabel* picAFX_;
    QLabel* imgFeed_;
};

}  // namespace OrbanexDesk
