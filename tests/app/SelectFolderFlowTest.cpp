// The folder selection window's behaviour without a window, on the in-memory file system.

#include "app/SelectFolderFlow.h"
#include "app/RinvoModule.h"
#include "fakes/MemoryFileSystem.h"
#include "fakes/ScriptedInputBox.h"
#include "fakes/ScriptedMessageBox.h"

#include <gtest/gtest.h>

#include <map>

using namespace rinvo;
using namespace rinvo::testing;

namespace {

// A window that keeps the tree as the flow draws it.
class TreeView final : public SelectFolderView
{
public:
    struct Shown
    {
        std::optional<NodeId> parent;
        std::string key;
        std::string text;
    };

    std::string shownDrive() override { return drive; }
    void setShownDrive(const std::string& shown) override { drive = shown; }
    void clearTree() override { nodes.clear(); }
    void addNode(std::optional<NodeId> parent, NodeId node, const std::string& key,
        const std::string& text) override
    {
        nodes[node] = { parent, key, text };
    }
    void removeNode(NodeId node) override { nodes.erase(node); }
    void setNodeImage(NodeId, FolderImage) override { }
    void setNodeExpanded(NodeId, bool) override { }
    void ensureVisible(NodeId) override { }
    void showFiles(const std::vector<std::string>& names) override { files = names; }
    void setFilesEnabled(bool) override { }
    void setNewFolderEnabled(bool) override { }
    void beep() override { ++beeps; }
    void closeWindow() override { closed = true; }

    // Returns the keys and texts of a node's children, in order.
    std::vector<std::string> childrenOf(NodeId parent) const
    {
        std::vector<std::string> shown;
        for (const auto& [id, node] : nodes) {
            if (node.parent == parent)
                shown.push_back(node.key + " " + node.text);
        }
        return shown;
    }
    NodeId find(const std::string& text) const
    {
        for (const auto& [id, node] : nodes) {
            if (node.text == text)
                return id;
        }
        ADD_FAILURE() << "no node " << text;
        return 0;
    }

    std::string drive;
    std::map<NodeId, Shown> nodes;
    std::vector<std::string> files;
    int beeps = 0;
    bool closed = false;
};

class SelectFolderFlowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fs.addFile("/docs/a.txt", "a", {});
        fs.addFile("/docs/.hidden.txt", "h", {});
        fs.addFolder("/docs/2025");
        fs.addFolder("/docs/2026");
        fs.addFolder("/docs/2026/q1");
        fs.addFolder("/.config");
        fs.addFolder("/sys", SystemAttribute);
        flow.Form_Load();
    }

    void TearDown() override { EXPECT_EQ(messages.surprises(), ""); }

    MemoryFileSystem fs;
    ScriptedMessageBox messages;
    ScriptedInputBox input;
    RinvoModule module;
    TreeView view;
    SelectFolderFlow flow { { fs, messages, input, module, { "/" }, {} }, view };
};

} // namespace

TEST_F(SelectFolderFlowTest, NodesOpenOneLevelAtATimeWithKeysFromTheirParents)
{
    EXPECT_EQ(view.childrenOf(0), (std::vector<std::string> { "n001 .config", "n002 docs" }))
        << "system folders are left out under the start's option";
    const NodeId docs = view.find("docs");
    flow.TreeView1_NodeClick(docs);
    EXPECT_EQ(view.files, (std::vector<std::string> { ".hidden.txt", "a.txt" }));
    EXPECT_EQ(
        view.childrenOf(docs), (std::vector<std::string> { "n002n001 2025", "n002n002 2026" }));
    const NodeId year = view.find("2026");
    flow.TreeView1_NodeClick(year);
    EXPECT_EQ(view.childrenOf(year), (std::vector<std::string> { "n002n002n001 q1" }));
    EXPECT_EQ(flow.FolderObj(view.find("q1")).value(), "/docs/2026/q1");

    // Closing a node takes its whole subtree away; opening it reads the folder afresh.
    flow.TreeView1_NodeClick(docs);
    EXPECT_TRUE(view.childrenOf(docs).empty());
    EXPECT_EQ(view.nodes.count(year), 0u);
    fs.addFolder("/docs/2027");
    flow.TreeView1_NodeClick(docs);
    EXPECT_EQ(view.childrenOf(docs).size(), 3u);
}

TEST_F(SelectFolderFlowTest, AcceptingHandsBackTheFolderUnlessItVanished)
{
    const NodeId docs = view.find("docs");
    flow.TreeView1_NodeClick(docs);
    fs.remove("/docs");
    messages.expect("docs\nパスが見つかりません", MessageButtons::Ok, MessageAnswer::Ok);
    flow.KETTEI_Click();
    EXPECT_FALSE(view.closed) << "the window stays for another choice";

    flow.TreeView1_NodeClick(0);
    flow.TreeView1_NodeClick(0);
    flow.KETTEI_Click();
    EXPECT_TRUE(view.closed);
    EXPECT_EQ(module.SelectedFolder, "/");
}
