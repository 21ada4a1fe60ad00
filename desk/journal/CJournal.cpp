#include "desk/journal/CJournal.h"

#include <filesystem>
#include <system_error>

#include "platform/Paths.h"
#include "runtime/Clock.h"
#include "runtime/Convert.h"

namespace OrbanexDesk {

namespace {
using OrbanelGeneral10::APPEND_TYPE;
using OrbanelGeneral10::INPUT_TYPE;
using OrbanelGeneral10::ReadSuccess;

constexpr size_t kTextColumn = 2;
}  // namespace

CJournal::CJournal(platform::ListView& lvwJournal) : list_(lvwJournal) {}

void CJournal::Add(const std::string& text, int32_t account) {
    const std::string time = runtime::CStr(runtime::Variant(runtime::Now()));
    addToListView(time, text, account);
    std::error_code ec;
    std::filesystem::create_directories(platform::ResolvePath("\\History"), ec);
    file_.PutEntry(time + kSeparator + text, FileName(account), APPEND_TYPE);
    list_.Refresh();
}

void CJournal::addToListView(const std::string& time, const std::string& text, int32_t account) {
    if (account != vID_ && account >= 0) return;
    // Journal rows are never looked up by key; each gets one of its own.
    platform::ListItem& row = list_.Add("J" + std::to_string(++nextRow_), time);
    row.setSubItems(kTextColumn, text);
}

void CJournal::setVID(int32_t account) {
    vID_ = account;
    Reload();
}

void CJournal::ClearFile() {
    file_.ClearFile(FileName(vID_));
    ClearList();
}

std::string CJournal::FileName(int32_t account) const {
    return "\\History\\JN" + std::to_string(account == -1 ? vID_ : account) + ".his";
}

void CJournal::ClearList() {
    list_.Clear();
}

void CJournal::Reload() {
    ClearList();
    const std::string name = FileName(vID_);
    if (!file_.IfFileExists(name)) return;
    if (!file_.OpenFile(name, INPUT_TYPE).empty()) return;
    std::string line;
    while (file_.CurrentLine(line) == ReadSuccess) {
        const size_t cut = line.find(kSeparator);
        if (cut == std::string::npos) {
            addToListView(line, "", -1);
            continue;
        }
        const size_t textStart = cut + std::string_view(kSeparator).size();
        const size_t textEnd = line.find(kSeparator, textStart);
        addToListView(line.substr(0, cut), line.substr(textStart, textEnd - textStart), -1);
    }
    try {
        file_.CloseFile();
    } catch (const std::exception&) {
        // The lines read stay; a failing close has nothing to lose.
    }
    list_.Refresh();
}

}  // namespace OrbanexDesk
