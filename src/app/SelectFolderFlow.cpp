#include "SelectFolderFlow.h"

#include "FolderSelection.h"
#include "InputBoxService.h"
#include "MessageBoxService.h"
#include "RinvoModule.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"
#include "texts/Catalogue.h"

#include <algorithm>

namespace rinvo {

namespace {

// The root folder of the drive list's entry: "c:" names "c:\" on Windows; a mount point is
// its own root.
std::string driveRoot(const std::string& drive, PathStyle style)
{
    return style == PathStyle::Windows ? drive.substr(0, 2) + "\\" : drive;
}

// Reads a folder's entries; the service's order is by name.
FsResult<FolderListing> entriesOf(FileSystem& fs, const std::string& path)
{
    auto folder = fs.openFolder(path, FolderSide::Source);
    if (!folder)
        return folder.error();
    return (*folder)->list();
}

} // namespace

SelectFolderFlow::SelectFolderFlow(SelectFolderServices services, SelectFolderView& view)
    : m_services(std::move(services))
    , m_view(view)
{ }

void SelectFolderFlow::Form_Load()
{
    // The first drive stands for drive C: the root on POSIX.
    if (!m_services.drives.empty())
        m_view.setShownDrive(m_services.drives.front());
    m_view.setNewFolderEnabled(m_services.module.AllowNewFolder);
    m_services.module.copyOption = CopyOption::SkipSystem;
    // NOTE: a drive that cannot be read at start is told; the window stays open with an empty
    // tree.
    if (FsStatus failed = fillDrive(true))
        tellFailure(m_view.shownDrive(), *failed);
}

void SelectFolderFlow::tellFailure(const std::string& path, const FsError& error)
{
    m_services.messages.show(path + "\n" + describeError(error), MessageButtons::Ok);
}

NodeId SelectFolderFlow::addNode(
    std::optional<NodeId> parent, const std::string& key, const std::string& text)
{
    const auto id = static_cast<NodeId>(m_nodes.size());
    m_nodes.push_back({ parent, key, text, false, FolderImage::Closed, {} });
    if (parent)
        m_nodes[static_cast<std::size_t>(*parent)].children.push_back(id);
    m_view.addNode(parent, id, key, text);
    m_view.setNodeImage(id, FolderImage::Closed);
    return id;
}

void SelectFolderFlow::removeNode(NodeId node)
{
    Node& removed = m_nodes.at(static_cast<std::size_t>(node));
    for (NodeId child : std::vector<NodeId>(removed.children))
        removeNode(child);
    if (removed.parent) {
        auto& siblings = m_nodes.at(static_cast<std::size_t>(*removed.parent)).children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), node), siblings.end());
    }
    removed.children.clear();
    m_view.removeNode(node);
}

void SelectFolderFlow::ensureVisible(NodeId node)
{
    // Showing a node opens its ancestors, as a tree view does.
    for (std::optional<NodeId> above = m_nodes.at(static_cast<std::size_t>(node)).parent; above;
         above = m_nodes.at(static_cast<std::size_t>(*above)).parent)
        m_nodes.at(static_cast<std::size_t>(*above)).expanded = true;
    m_view.ensureVisible(node);
}

void SelectFolderFlow::setImage(NodeId node, FolderImage image)
{
    m_nodes.at(static_cast<std::size_t>(node)).image = image;
    m_view.setNodeImage(node, image);
}

void SelectFolderFlow::showFiles(const std::string& folder)
{
    std::vector<std::string> names;
    auto entries = entriesOf(m_services.fs, folder);
    if (entries) {
        for (const FolderEntry& entry : *entries) {
            if (entry.error || entry.info.kind == EntryKind::Folder)
                continue;
            if ((entry.info.attributes & HiddenAttribute) && !m_showHiddenFiles)
                continue;
            if ((entry.info.attributes & SystemAttribute) && !m_showSystemFiles)
                continue;
            names.emplace_back(entry.name);
        }
    }
    m_view.showFiles(names);
}

FsStatus SelectFolderFlow::fillDrive(bool setFileListSettings)
{
    const std::string drive = m_view.shownDrive();
    const std::string root = driveRoot(drive, m_services.fs.pathStyle());
    auto entries = entriesOf(m_services.fs, root);
    if (!entries)
        return entries.error();
    m_view.clearTree();
    m_nodes.clear();
    const NodeId rootNode = addNode(std::nullopt, std::string(RootNodeKey), drive);
    m_selectedNode = rootNode;
    if (setFileListSettings) {
        const FileListSettings settings = fileListSettingsFor(
            m_services.module.copyOption, { m_showHiddenFiles, m_showSystemFiles });
        m_showHiddenFiles = settings.showHidden;
        m_showSystemFiles = settings.showSystem;
    }
    showFiles(root);
    int counter = 1;
    NodeId lastAdded = rootNode;
    for (const FolderEntry& entry : *entries) {
        if (entry.error || !isListedFolder(entry.info.attributes, m_services.module.copyOption))
            continue;
        lastAdded
            = addNode(rootNode, childNodeKey(RootNodeKey, counter++), std::string(entry.name));
    }
    ensureVisible(lastAdded);
    m_shownDrive = drive;
    return std::nullopt;
}

void SelectFolderFlow::Drive1_Change()
{
    if (m_view.shownDrive() == m_shownDrive)
        return;
    FsStatus failed = fillDrive(false);
    if (!failed || failed->kind != FsErrorKind::PathNotFound)
        return;
    // A drive that cannot be reached: a beep, and the list goes back to the drive shown.
    m_view.beep();
    m_view.setShownDrive(m_shownDrive);
}

FsResult<std::string> SelectFolderFlow::FolderObj(NodeId node) const
{
    const PathStyle style = m_services.fs.pathStyle();
    const std::string separator(1, pathSeparator(style));
    const Node& start = m_nodes.at(static_cast<std::size_t>(node));
    std::string path = start.text;
    for (std::optional<NodeId> above = start.parent; above;
         above = m_nodes.at(static_cast<std::size_t>(*above)).parent) {
        const Node& folder = m_nodes.at(static_cast<std::size_t>(*above));
        path = folder.parent ? folder.text + separator + path
                             : joinPath(driveRoot(folder.text, style), path, style);
    }
    if (!start.parent)
        path = driveRoot(path, style);
    if (!m_services.fs.folderExists(path))
        return FsError { FsErrorKind::PathNotFound, "no such folder" };
    return path;
}

void SelectFolderFlow::TreeView1_NodeClick(NodeId node)
{
    // Any failure ends the handling where it occurs; the steps before keep their effect.
    const FsResult<std::string> folder = FolderObj(node);
    if (!folder)
        return;
    m_selectedNode = node;
    showFiles(*folder);
    Node& clicked = m_nodes.at(static_cast<std::size_t>(node));
    if (clicked.expanded) {
        clicked.expanded = false;
        m_view.setNodeExpanded(node, false);
        setImage(node, FolderImage::Closed);
        for (NodeId child : std::vector<NodeId>(clicked.children))
            removeNode(child);
        m_view.setFilesEnabled(false);
        return;
    }
    setImage(node, FolderImage::Open);
    m_view.setFilesEnabled(true);
    auto entries = entriesOf(m_services.fs, *folder);
    if (!entries)
        return;
    int counter = 1;
    std::optional<NodeId> lastAdded;
    const std::string key = clicked.key;
    for (const FolderEntry& entry : *entries) {
        if (entry.error || !isListedFolder(entry.info.attributes, m_services.module.copyOption))
            continue;
        lastAdded = addNode(node, childNodeKey(key, counter++), std::string(entry.name));
    }
    if (lastAdded)
        ensureVisible(*lastAdded);
    m_nodes.at(static_cast<std::size_t>(node)).expanded = true;
    m_view.setNodeExpanded(node, true);
}

void SelectFolderFlow::Sinki_Click()
{
    const std::string selectedText = m_nodes.at(static_cast<std::size_t>(m_selectedNode)).text;
    const FsResult<std::string> folder = FolderObj(m_selectedNode);
    if (!folder) {
        tellFailure(selectedText, folder.error());
        return;
    }
    const std::string answer = m_services.input.ask(messages::newFolderPrompt(selectedText));
    if (answer.empty())
        return;
    const std::string newPath = joinPath(*folder, answer, m_services.fs.pathStyle());
    std::vector<std::string> existing;
    if (auto entries = entriesOf(m_services.fs, *folder)) {
        for (const FolderEntry& entry : *entries) {
            if (!entry.error && entry.info.kind == EntryKind::Folder)
                existing.push_back(joinPath(*folder, entry.name, m_services.fs.pathStyle()));
        }
    }
    if (clashesWithExisting(existing, newPath)) {
        m_services.messages.show(messages::FolderClash, MessageButtons::Ok);
        return;
    }
    if (FsStatus failed = m_services.fs.createFolder(newPath)) {
        tellFailure(newPath, *failed);
        return;
    }
    // Closing and opening again (or opening and closing) reads the subfolders afresh.
    const NodeId node = m_selectedNode;
    TreeView1_NodeClick(node);
    TreeView1_NodeClick(node);
}

void SelectFolderFlow::KETTEI_Click()
{
    const FsResult<std::string> folder = FolderObj(m_selectedNode);
    if (!folder) {
        // NOTE: a folder removed meanwhile is told, and the window stays for another choice.
        tellFailure(m_nodes.at(static_cast<std::size_t>(m_selectedNode)).text, folder.error());
        return;
    }
    m_services.module.SelectedFolder = *folder;
    m_view.closeWindow();
    if (m_services.showMainWindow)
        m_services.showMainWindow();
}

void SelectFolderFlow::YAMERU_Click()
{
    m_services.module.SelectedFolder.clear();
    m_view.closeWindow();
}

} // namespace rinvo
