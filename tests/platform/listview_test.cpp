#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ComboBox.h"
#include "platform/ListView.h"
#include "runtime/Error.h"

namespace {

using platform::ComboBox;
using platform::ListView;
using platform::ListViewChange;

int32_t ErrorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const runtime::Error& e) {
        return e.Number();
    }
    return 0;
}

// Records the change feed as short texts, with the row count seen at each notice.
struct FeedLog {
    explicit FeedLog(ListView& lv) : lv_(lv) {
        connection_ = lv.Changed.Connect([this](const ListViewChange& c) { Record(c); });
    }
    void Record(const ListViewChange& c) {
        static const char* const kKinds[] = {"+?", "+", "-?", "-", "0?", "0", "cell", "refresh"};
        static const char* const kRoles[] = {"text", "fore", "bold", "check", "icon", "sel"};
        std::string s = kKinds[static_cast<int>(c.kind)];
        s += std::to_string(c.index);
        if (c.kind == ListViewChange::Kind::Cell)
            s += "." + std::to_string(c.column) + kRoles[static_cast<int>(c.role)];
        lines.push_back(s + "/n" + std::to_string(lv_.Count()));
    }
    ListView& lv_;
    runtime::ScopedConnection connection_;
    std::vector<std::string> lines;
};

// The rules callers rely on: unique exact keys, failing look-ups, 1-based shifting
// indices, sub-items from 1, cell looks, check marks, find by text, single selection.
TEST(ListView, KeepsTheRowRulesTheDeskReadsBack) {
    ListView lv;
    lv.Add("C1", "alice");
    lv.Add("c1", "bob");  // keys compare exactly
    lv.Add("C3", "carol", 2);
    EXPECT_EQ(ErrorOf([&] { lv.Add("C1", "again"); }), 35602);
    EXPECT_EQ(lv.Count(), 3u);
    EXPECT_EQ(lv.Find("C2"), nullptr);
    EXPECT_EQ(ErrorOf([&] { lv.Item("C2"); }), 35601);
    EXPECT_EQ(ErrorOf([&] { lv.Item(size_t{0}); }), 35600);
    EXPECT_EQ(ErrorOf([&] { lv.Item(4); }), 35600);
    EXPECT_EQ(lv.Item("C3").SmallIcon(), 2);

    auto& carol = lv.Item(3);
    EXPECT_EQ(carol.SubItems(4), "");
    carol.setSubItems(4, "x");
    EXPECT_EQ(carol.SubItems(4), "x");
    EXPECT_EQ(carol.SubItems(2), "");
    EXPECT_EQ(ErrorOf([&] { carol.setSubItems(0, "y"); }), 35600);
    carol.setSubItemForeColor(2, 255);
    carol.setSubItemBold(1, true);
    EXPECT_EQ(carol.SubItemForeColor(2), 255);
    EXPECT_TRUE(carol.SubItemBold(1));
    EXPECT_FALSE(carol.SubItemBold(4));

    lv.Item(2).setSelected(true);
    carol.setSelected(true);
    EXPECT_EQ(lv.SelectedItem(), &carol);
    EXPECT_FALSE(lv.Item(2).Selected());
    EXPECT_EQ(lv.FindItem("bob"), &lv.Item(2));
    EXPECT_EQ(lv.FindItem("Bob"), nullptr);

    lv.Remove("C1");
    EXPECT_EQ(carol.Index(), 2u);
    EXPECT_EQ(lv.Item(1).Key(), "c1");
    lv.Remove(2);
    EXPECT_EQ(lv.SelectedItem(), nullptr);
    EXPECT_EQ(lv.Find("C3"), nullptr);
    lv.Add("C3", "carol again");  // a removed key may come back
    lv.Item(2).setChecked(true);
    EXPECT_TRUE(lv.Item("C3").Checked());
    lv.Clear();
    EXPECT_EQ(lv.Count(), 0u);
    EXPECT_EQ(lv.Find("c1"), nullptr);
}

// Inserts, removals and resets come in two phases around the change; each changed
// cell gives one notice and a write that changes nothing gives none.
TEST(ListView, AnnouncesChangesInTwoPhasesAndStaysSilentOnNoOps) {
    ListView lv;
    FeedLog log(lv);
    lv.Add("a", "1");
    auto& b = lv.Add("b", "2");
    b.setText("2");
    b.setSubItems(2, "x");
    b.setSubItems(2, "x");
    b.setForeColor(255);
    b.setForeColor(255);
    b.setBold(true);
    b.setChecked(true);
    b.setChecked(true);
    b.setSmallIcon(3);
    b.setSelected(true);
    b.setTag("not visible");
    lv.Remove("a");
    lv.Refresh();
    lv.Clear();
    const std::vector<std::string> expected = {
        "+?1/n0",         "+1/n1",          "+?2/n1",          "+2/n2",          "cell2.3text/n2",
        "cell2.1fore/n2", "cell2.1bold/n2", "cell2.1check/n2", "cell2.1icon/n2", "cell2.0sel/n2",
        "-?1/n2",         "-1/n1",          "refresh0/n1",     "0?0/n1",         "00/n0"};
    EXPECT_EQ(log.lines, expected);
}

// Keyless rows go in anywhere (the journal puts its newest on top): indices shift
// both ways, keyed rows keep their keys, a keyless row is never found by key.
TEST(ListView, InsertsKeylessRowsAtAnyIndexAndKeepsIndicesTrue) {
    ListView lv;
    FeedLog log(lv);
    auto& keyed = lv.Add("k", "keyed");
    lv.Insert(1, "top");
    lv.Insert(3, "end");
    auto& middle = lv.Insert(2, "middle");
    EXPECT_EQ(ErrorOf([&] { lv.Insert(6, "x"); }), 35600);
    EXPECT_EQ(ErrorOf([&] { lv.Insert(0, "x"); }), 35600);
    std::vector<std::string> texts;
    for (size_t i = 1; i <= lv.Count(); ++i) {
        EXPECT_EQ(lv.Item(i).Index(), i);
        texts.push_back(lv.Item(i).Text());
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"top", "middle", "keyed", "end"}));
    EXPECT_EQ(keyed.Index(), 3u);
    EXPECT_EQ(lv.Find(""), nullptr);
    lv.Remove(1);
    EXPECT_EQ(middle.Index(), 1u);
    EXPECT_EQ(lv.Item("k").Index(), 2u);
    lv.Insert(1, "newest").setSubItems(2, "x");
    EXPECT_EQ(lv.Item(1).SubItems(2), "x");
    EXPECT_EQ(keyed.Index(), 3u);
    lv.Clear();
    lv.Insert(1, "again");
    EXPECT_EQ(lv.Item(1).Index(), 1u);
    EXPECT_EQ(std::vector<std::string>(log.lines.begin(), log.lines.begin() + 4),
              (std::vector<std::string>{"+?1/n0", "+1/n1", "+?1/n1", "+1/n2"}));
    EXPECT_EQ(log.lines[log.lines.size() - 5], "cell1.3text/n4");
}

TEST(ListView, ColumnLeftsAddUpTheWidthsBefore) {
    ListView lv;
    lv.AddColumn("A", 100);
    lv.AddColumn("B", 250);
    lv.AddColumn("C", 50);
    lv.setColumnWidth(2, 300);
    EXPECT_DOUBLE_EQ(lv.ColumnLeft(3), 400);
    EXPECT_EQ(lv.ColumnText(2), "B");
    EXPECT_EQ(ErrorOf([&] { lv.ColumnWidth(4); }), 35600);
}

// Code that changes the text raises Change; a new index raises Click.
TEST(ComboBox, RaisesChangeAndClickWhenCodeChangesIt) {
    ComboBox cb;
    std::vector<std::string> log;
    runtime::ScopedConnection c1 = cb.Change.Connect([&] { log.push_back("change:" + cb.Text()); });
    runtime::ScopedConnection c2 = cb.Click.Connect([&] { log.push_back("click:" + cb.Text()); });
    cb.AddItem("EURUSD");
    cb.AddItem("GBPUSD");
    cb.setListIndex(1);
    cb.setListIndex(1);
    cb.setText("EURUSD");
    EXPECT_EQ(cb.ListIndex(), 0);
    cb.setText("free text");
    EXPECT_EQ(cb.ListIndex(), -1);
    cb.setText("free text");
    EXPECT_EQ(ErrorOf([&] { cb.setListIndex(2); }), 380);
    EXPECT_EQ(ErrorOf([&] { cb.List(2); }), 381);
    cb.Clear();
    cb.Clear();
    EXPECT_EQ(cb.ListCount(), 0u);
    const std::vector<std::string> expected = {"change:GBPUSD", "click:GBPUSD", "change:EURUSD",
                                               "change:free text", "change:"};
    EXPECT_EQ(log, expected);
}

}  // namespace
