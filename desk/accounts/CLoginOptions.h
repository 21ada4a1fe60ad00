#pragma once
// The server list, the current server and the two stored options of the server
// file (four lines: the servers as desc&&ip&&port&&..., the current "ip:port",
// a number, a free text), and the writer of the saved-accounts file. One object
// lives as long as the accounts window. A missing or garbled file gives an empty
// list and no current server (one message when a file was there); nothing here
// raises to the window but the file writers (runtime::Error 75 when the disk
// refuses).
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "desk/common/DeskServices.h"
#include "platform/ComboBox.h"

namespace OrbanexDesk {

class CLoginOptions {
public:
    // Sets the server file and the desk's AccountsFilePath under the program
    // folder, then reads the server file.
    explicit CLoginOptions(DeskServices& desk);

    const std::string& ServerFileName() const { return serverFileName_; }
    void setServerFileName(const std::string& name) { serverFileName_ = name; }

    // Server i, 1-based; raise runtime::Error(9) outside 1..Servers.
    std::string ServerIP(int16_t i) const;
    std::string ServerDesc(int16_t i) const;
    int32_t ServerPort(int16_t i) const;
    std::string Server(int16_t i) const;
    // At most kMostServers: a longer list is read that far, with one message.
    int16_t Servers() const { return static_cast<int16_t>(servers_.size()); }

    // "ip:port"; "" while there is no current server.
    std::string CurrentServer() const;
    // The first listed server equal to CurrentServer, or -1.
    int16_t CurrentServerIndex() const;
    // Its description, else CurrentServer.
    std::string CurrentServerDesc() const;
    const std::string& CurrentServerIP() const { return currentIP_; }
    void setCurrentServerIP(const std::string& ip) { currentIP_ = ip; }
    int32_t CurrentServerPort() const { return currentPort_; }
    void setCurrentServerPort(int32_t port) { currentPort_ = port; }
    int32_t ParentDemoAccounts() const { return parentDemoAccounts_; }
    void setParentDemoAccounts(int32_t value) { parentDemoAccounts_ = value; }
    const std::string& LoginUnderwlIDs() const { return loginUnderwlIDs_; }
    void setLoginUnderwlIDs(const std::string& value) { loginUnderwlIDs_ = value; }

    // Line 1 built from the list.
    std::string AllServers() const;
    // Servers at the current address move to the new one, and so does the current
    // server; the file is not written.
    void RoutServer(const std::string& NewIP, int32_t NewPort);
    // Reads the file; lines 1 to 3 are taken whole, so a description may hold ",".
    // A file beyond kLargestServerFile is not read. A file there that gives no
    // current server is left as it is, with one message (NoServerReason).
    void InitializeFromFile();
    // Replaces the file with its four lines in one atomic write; raises
    // runtime::Error(75), writing nothing, when they would pass kLargestServerFile.
    void Save();
    // The read's message when the file gave no current server; "" once one is
    // current (SetData).
    const std::string& NoServerReason() const { return noServerReason_; }
    // Takes the combo's chosen or typed "ip:port" as current and saves. A text that
    // is not "ip:port" shows "Wrong server.", a failed save the file and the
    // reason; either changes nothing.
    bool SetData(const platform::ComboBox& CBServer);
    // Appends the account's coded line to the saved-accounts file (0600, atomic).
    // Raises runtime::Error(75), writing nothing, when the file is not one the
    // start would read, or would be after the line.
    void saveAccount(const std::string& UserName, const std::string& Password, int32_t Account,
                     bool AutoLogin);

    // The example in the "Wrong server." box.
    static constexpr const char* kExampleServer = "127.0.0.1:4401";
    // The most servers a 16-bit count holds.
    static constexpr size_t kMostServers = INT16_MAX;
    // A server file beyond this is damaged: a real list takes a few KB.
    static constexpr size_t kLargestServerFile = 4 * 1024 * 1024;

private:
    struct ServerEntry {
        std::string desc, ip;
        int32_t port = 0;
    };
    const ServerEntry& Entry(int16_t i) const;
    void WrongServer();
    void TooManyServers();
    void ReadServers(std::string_view all);
    // `why` follows the file's name in the message.
    void NoCurrentServer(const std::string& why);

    DeskServices& desk_;
    std::string serverFileName_;
    std::vector<ServerEntry> servers_;
    std::string unlisted_;  // line 1's servers beyond kMostServers, as written
    std::string currentIP_;
    int32_t currentPort_ = 0;
    int32_t parentDemoAccounts_ = 0;
    std::string loginUnderwlIDs_;
    std::string noServerReason_;
};

// Rewrites the server file with every field (bounded by a line's start or end,
// "&&" or ":") equal to OldText, blanks aside, replaced by NewText; writes
// atomically and only when a field changed. An empty text, or a missing file,
// leaves it as it is. Returns whether the file changed. A rewrite that would pass
// kLargestServerFile raises runtime::Error(75) and leaves it as it is.
bool ReplaceInServerFile(const std::filesystem::path& file, const std::string& OldText,
                         const std::string& NewText);
// The same on the program folder's "\manage\Server.buf" (what IMGeneral's member runs).
bool ReplaceInServerFile(const std::string& OldText, const std::string& NewText);

}  // namespace OrbanexDesk
