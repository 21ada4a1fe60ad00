#pragma once
// The journal's store of lines, one file per account under the program folder
// ("\History\JN" & account & ".his"): each line the time text, "*,%$" and the
// entry text, appended, never rewritten. The list shows the lines of one account
// (vID) in file order; setting vID reloads it. Reading reports nothing: a missing
// or unreadable file leaves the list empty, a line without the separator is all
// time. GUI thread only.
#include <cstdint>
#include <string>

#include "platform/ListView.h"
#include "protocol/CFileProcess.h"

namespace OrbanexDesk {

class CJournal {
public:
    static constexpr const char* kSeparator = "*,%$";

    explicit CJournal(platform::ListView& lvwJournal);

    // Stamps the entry with the clock's general date text, shows it when it is
    // vID's, appends it to the account's file.
    void Add(const std::string& text, int32_t account);
    // Appends a row (time; sub-item 2 the text) when account is vID or negative.
    void addToListView(const std::string& time, const std::string& text, int32_t account);
    int32_t vID() const { return vID_; }
    // Stores the account and reloads the list from its file.
    void setVID(int32_t account);
    // Empties vID's file and the list.
    void ClearFile();
    // The file's path; -1 stands for vID.
    std::string FileName(int32_t account) const;
    void ClearList();

    bool Displayed() const { return displayed_; }
    void setDisplayed(bool value) { displayed_ = value; }

private:
    void Reload();

    platform::ListView& list_;
    KVGeneralDLL10::CFileProcess file_;
    int32_t vID_ = 0;
    bool displayed_ = true;
    uint64_t nextRow_ = 0;
};

}  // namespace OrbanexDesk
