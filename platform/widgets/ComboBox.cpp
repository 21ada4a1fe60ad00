#include "platform/widgets/ComboBox.h"

#include <QLineEdit>

namespace platform::widgets {

namespace {
QString ToQString(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
}  // namespace

ComboBox::ComboBox(platform::ComboBox& store, QWidget* parent) : QComboBox(parent), store_(store) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // Completion would show text the store never got.
    setCompleter(nullptr);
    ShowItems();
    items_ = store_.ListChanged.Connect([this] { ShowItems(); });
    change_ = store_.Change.Connect([this] { ShowText(); });
    click_ = store_.Click.Connect([this] { ShowText(); });
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (syncing_ || index < 0 || static_cast<size_t>(index) >= store_.ListCount()) return;
        // A pick of the item already chosen is still a click.
        if (index == store_.ListIndex())
            store_.Click();
        else
            store_.setListIndex(index);
    });
    connect(lineEdit(), &QLineEdit::textEdited, this, [this](const QString& text) {
        if (!syncing_) store_.TypeText(text.toStdString());
    });
}

ComboBox::~ComboBox() {
    items_.Disconnect();
    change_.Disconnect();
    click_.Disconnect();
}

void ComboBox::ShowItems() {
    syncing_ = true;
    clear();
    for (size_t i = 0; i < store_.ListCount(); ++i) addItem(ToQString(store_.List(i)));
    syncing_ = false;
    ShowText();
}

void ComboBox::ShowText() {
    syncing_ = true;
    if (currentIndex() != store_.ListIndex()) setCurrentIndex(store_.ListIndex());
    const QString text = ToQString(store_.Text());
    if (currentText() != text) setEditText(text);
    syncing_ = false;
}

}  // namespace platform::widgets
