#include "browser/qt/KelBrowse.h"

#include <QAbstractFileIconProvider>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFileSystemWatcher>
#include <QHeaderView>
#include <QInputDialog>
#include <QListView>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QSplitter>
#include <QStandardItemModel>
#include <QStorageInfo>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include "app/AnalysisFile.h"
#include "app/qt/FlowLayout.h"
#include "app/qt/FileDrops.h"
#include "app/qt/KelViewWindow.h"
#include "app/qt/SessionBinding.h"
#include "browser/qt/BrowserPlace.h"
#include "browser/qt/CommandChannel.h"
#include "browser/qt/DetailsList.h"
#include "common/Errors.h"
#include "plot/qt/WidgetNames.h"

namespace kel {

namespace {

constexpr int kTimer2Ms = 1000;
// Writers of a profile change its folder several times; relist once after.
constexpr int kWatchSettleMs = 300;

// The tree holds folders only, so every entry gets the folder icon; Qt's
// own provider would look each name up in the MIME database first, which
// made listing "/" at start-up load the whole database.
class TFolderIcons : public QAbstractFileIconProvider {
public:
    QIcon icon(IconType type) const override { return QAbstractFileIconProvider::icon(type); }
    QIcon icon(const QFileInfo&) const override { return icon(Folder); }
    QString type(const QFileInfo&) const override { return QStringLiteral("Folder"); }
};

// Shared by every browser and never destroyed: the model's gatherer thread
// may still ask it while the model is being torn down.
QAbstractFileIconProvider* FolderIcons() {
    static auto* icons = new TFolderIcons;
    return icons;
}

bool SameFolder(const QString& a, const QString& b) {
    return QFileInfo(a).canonicalFilePath() == QFileInfo(b).canonicalFilePath();
}

// The roots of this computer: the file system's root, the home folder and
// the mounted volumes.
QStringList Roots() {
    QStringList roots{QDir::rootPath(), QDir::homePath()};
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady() && !roots.contains(volume.rootPath())) roots << volume.rootPath();
    return roots;
}

// Assistive technology takes a widget of a class it does not know for a
// part of a window (a "filler"); the browser is a window of its own.
QAccessibleInterface* BrowserAccessible(const QString& className, QObject* object) {
    if (className != QLatin1String(TFKelBrowse::staticMetaObject.className()) || !object->isWidgetType()) return nullptr;
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
}

}  // namespace

TFKelBrowse::TFKelBrowse(TFKelView& main, SettingsStore& store)
    : QWidget(&main, Qt::Window), main_(main), store_(store) {
    setObjectName(QStringLiteral("TFKelBrowse"));
    setWindowTitle(QStringLiteral("Multi ions explorer"));
    static const bool accessible = (QAccessible::installFactory(BrowserAccessible), true);
    (void)accessible;
    Confirm = [this](const QString& question) {
        return QMessageBox::question(this, QString(), question, QMessageBox::Yes | QMessageBox::No) ==
               QMessageBox::Yes;
    };
    AskFolderName = [this]() -> std::optional<QString> {
        bool ok = false;
        QString name = QInputDialog::getText(this, QApplication::applicationDisplayName(),
                                             QStringLiteral("New folder:"), QLineEdit::Normal, QString(), &ok);
        if (!ok) return std::nullopt;
        return name;
    };
    Inform = [this](const QString& message) {
        QMessageBox::information(this, QApplication::applicationDisplayName(), message);
    };
    BuildControls();
    setAcceptDrops(true);
    const QPointer<TFKelBrowse> self(this);
    main_.BrowserCommands = {[self](const QString& path) {
                                 if (self) self->OpenProfilePath(path);
                             },
                             [self](const QString& folder) {
                                 if (self) self->ShowFolder(folder);
                             }};

    // The folder listed last, while it exists; else the current folder.
    QString start = QDir::currentPath();
    if (std::optional<std::string> last = store_.FindString("Browser", "Folder")) {
        const QString folder = QString::fromStdString(*last);
        if (QFileInfo(folder).isDir()) start = folder;
    }
    SelectTreeFolder(start);
    RefreshListing();
}

void TFKelBrowse::BuildControls() {
    resize(816, 334);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    // The row wraps rather than widening the window past a small screen.
    auto* buttons = new TFlowLayout;
    shellCombo_ = new QComboBox(this);
    Name(shellCombo_, "ShellComboBox1", QStringLiteral("Folder"));
    shellCombo_->setFixedWidth(161);
    connect(shellCombo_, &QComboBox::activated, this, &TFKelBrowse::ShellComboBox1Change);
    buttons->addWidget(shellCombo_);
    const auto button = [this, buttons](const char* name, const QString& text, void (TFKelBrowse::*click)()) {
        auto* b = new QPushButton(text, this);
        Name(b, name, text);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, click);
        buttons->addWidget(b);
        return b;
    };
    button("btNewFolder", QStringLiteral("New folder"), &TFKelBrowse::btNewFolderClick);
    button("btDelete", QStringLiteral("Delete"), &TFKelBrowse::DeleteClick);
    button("btBatch", QStringLiteral("Batch conversion"), &TFKelBrowse::btBatchClick);
    button("btnCompare", QStringLiteral("Compare"), &TFKelBrowse::btnCompareClick);
    button("btnSummary", QStringLiteral("Summary…"), &TFKelBrowse::btnSummaryClick);
    watch_ = new QCheckBox(QStringLiteral("Watch folder"), this);
    Name(watch_, "cbWatch", watch_->text());
    follow_ = new QCheckBox(QStringLiteral("Follow newest"), this);
    Name(follow_, "cbFollow", follow_->text());
    follow_->setEnabled(false);
    // The shown profile's own file, re-read as it changes: the session's
    // toggle, also in the main window's Plot menu.
    followFile_ = new QCheckBox(QStringLiteral("Follow file"), this);
    Name(followFile_, "cbFollowFile", followFile_->text());
    buttons->addWidget(watch_);
    buttons->addWidget(follow_);
    buttons->addWidget(followFile_);
    button("btClose", QStringLiteral("Close"), &QWidget::hide);
    layout->addLayout(buttons);

    auto* split = split_ = new QSplitter(Qt::Horizontal, this);
    split->setObjectName(QStringLiteral("Splitter1"));
    tree_ = new QTreeView(split);
    Name(tree_, "DirectoryOutline1", QStringLiteral("Folders"));
    tree_->setHeaderHidden(true);
    tree_->setRootIsDecorated(false);
    tree_->setItemsExpandable(true);
    connect(tree_, &QTreeView::clicked, this, &TFKelBrowse::RefreshListing);

    auto* right = new QWidget(split);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->setSpacing(0);
    auto* sections = new QStandardItemModel(0, 6, this);
    sections->setHorizontalHeaderLabels({QStringLiteral("Name"), QStringLiteral("Date            Time"),
                                         QStringLiteral("Ion"), QStringLiteral("Sample"), QStringLiteral("Comment"),
                                         QStringLiteral("Details")});
    header_ = new QHeaderView(Qt::Horizontal, right);
    Name(header_, "HeaderDetails", QStringLiteral("Columns"));
    header_->setModel(sections);
    header_->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header_->setStretchLastSection(false);

    model_ = new TDetailsModel(listing_, this);
    list_ = new QListView(right);
    Name(list_, "LBDetails", QStringLiteral("Profiles"));
    list_->setModel(model_);
    list_->setUniformItemSizes(true);
    list_->setItemDelegate(new TDetailsDelegate(*model_, *header_, list_));
    // Ctrl- and Shift-clicks choose several profiles to compare.
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Keys move the selection as clicks do, without opening.
    connect(list_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& index) {
        if (model_->Entry(index.row())) listing_.Selected = index.row();
    });
    connect(header_, &QHeaderView::sectionResized, list_->viewport(), qOverload<>(&QWidget::update));
    connect(list_, &QListView::clicked, this, [this](const QModelIndex& index) {
        if (!model_->Entry(index.row())) return;
        // A click that adds to a choice of profiles opens none of them.
        if (QApplication::keyboardModifiers() & (Qt::ControlModifier | Qt::ShiftModifier)) return;
        Select(index.row());
        LBDetailsClick();
    });
    connect(list_, &QListView::doubleClicked, this, &QWidget::hide);
    int section = 0;
    for (int width : {191, 120, 38, 78, 86, 40}) header_->resizeSection(section++, width);
    rightLayout->addWidget(header_);
    rightLayout->addWidget(list_, 1);
    // The tree and the list joined the splitter, in this order, when they were
    // made; adding them again would measure them, the header's bold font too.
    split->setStretchFactor(1, 1);
    layout->addWidget(split, 1);

    timer2_ = new QTimer(this);
    timer2_->setObjectName(QStringLiteral("Timer2"));
    timer2_->setSingleShot(true);
    timer2_->setInterval(kTimer2Ms);
    connect(timer2_, &QTimer::timeout, this, &TFKelBrowse::Timer2Timer);
    new QShortcut(QKeySequence(Qt::Key_F5), this, this, &TFKelBrowse::RefreshListing);
    new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &QWidget::hide);

    watcher_ = new QFileSystemWatcher(this);
    watchDelay_ = new QTimer(this);
    watchDelay_->setSingleShot(true);
    watchDelay_->setInterval(kWatchSettleMs);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, watchDelay_, qOverload<>(&QTimer::start));
    connect(watchDelay_, &QTimer::timeout, this, &TFKelBrowse::WatchedFolderChanged);
    connect(watch_, &QCheckBox::toggled, this, &TFKelBrowse::WatchChanged);
    // Watching a folder is watching the profile shown from it, unless the
    // user says otherwise.
    connect(watch_, &QCheckBox::toggled, this,
            [this](bool on) { main_.Binding().Run([on](TKelViewSession& s) { s.SetFollowFile(on); }); });
    connect(followFile_, &QCheckBox::clicked, this,
            [this] { main_.Binding().Run([](TKelViewSession& s) { s.FollowFileClick(); }); });
    const auto showFollow = [this] { followFile_->setChecked(main_.Binding().Session().FollowFileOn()); };
    connect(&main_.Binding(), &TSessionBinding::ModesChanged, followFile_, showFollow);
    showFollow();
}

void TFKelBrowse::showEvent(QShowEvent* event) {
    AttachFolderTree();
    // Sized on the first show: the header's size hint, which the splitter
    // asks for too, is measured in a bold face of the font, whose loading a
    // start-up with the browser hidden need not wait for.
    if (!laidOut_) {
        header_->setFixedHeight(header_->sizeHint().height());
        split_->setSizes({233, 816 - 233});
        laidOut_ = true;
        FitColumns();
        Place();
    }
    QWidget::showEvent(event);
}

void TFKelBrowse::hideEvent(QHideEvent* event) {
    SavePlace();
    QWidget::hideEvent(event);
}

TFKelBrowse::~TFKelBrowse() {
    // A program ended with the browser open keeps its place too.
    if (isVisible()) SavePlace();
}

void TFKelBrowse::FitColumns() {
    // Texts are not clipped: a section too narrow for them would run them
    // into the next one.
    FitSections(*header_, listing_, list_->fontMetrics(), QtDateTextFormatter());
}

void TFKelBrowse::Place() {
    if (const std::optional<std::string> saved = store_.FindString("Browser", "Geometry"))
        if (restoreGeometry(QByteArray::fromBase64(QByteArray::fromStdString(*saved)))) return;
    const QScreen* screen = main_.screen();
    if (!screen || !main_.isVisible()) return;
    // This window's frame is not known before it is first shown; the main
    // window's is the same desktop's.
    const QRect mainFrame = main_.frameGeometry();
    const QRect mainClient = main_.geometry();
    const QMargins frame(mainClient.left() - mainFrame.left(), mainClient.top() - mainFrame.top(),
                         mainFrame.right() - mainClient.right(), mainFrame.bottom() - mainClient.bottom());
    const QRect placed = PlaceBeside(mainFrame, size().grownBy(frame), screen->availableGeometry());
    resize(placed.size().shrunkBy(frame));
    move(placed.topLeft());
}

void TFKelBrowse::SavePlace() {
    if (laidOut_) store_.WriteString("Browser", "Geometry", saveGeometry().toBase64().toStdString());
}

// The folder tree and the roots are read only once the window is first
// shown: reading "/" and the mounted volumes at start-up, for a window most
// sessions never open, cost the main window a fifth of its start-up time.
void TFKelBrowse::AttachFolderTree() {
    if (folders_) return;
    for (const QString& root : Roots()) shellCombo_->addItem(QDir::toNativeSeparators(root), root);
    folders_ = new QFileSystemModel(this);
    folders_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    folders_->setIconProvider(FolderIcons());
    folders_->setRootPath(QDir::rootPath());
    tree_->setModel(folders_);
    for (int column = 1; column < folders_->columnCount(); ++column) tree_->hideColumn(column);
    // Keys move the tree's folder as clicks do; F5 then lists it.
    connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& index) {
        if (index.isValid()) treeFolder_ = folders_->filePath(index);
    });
    // The model reads each level in a thread of its own and sorts it later,
    // which moves the rows: keep the selected folder in sight until the user
    // moves around the tree.
    connect(folders_, &QFileSystemModel::directoryLoaded, this, &TFKelBrowse::RevealTreeFolder);
    connect(folders_, &QAbstractItemModel::layoutChanged, this, &TFKelBrowse::RevealTreeFolder);
    connect(tree_, &QAbstractItemView::pressed, this, [this] { revealTreeFolder_ = false; });
    connect(tree_->verticalScrollBar(), &QAbstractSlider::actionTriggered, this, [this] { revealTreeFolder_ = false; });
    SelectTreeFolder(treeFolder_);
}

void TFKelBrowse::ListFolder(const QString& folder) {
    model_->BeginChange();
    main_.Binding().Run([&](TKelViewSession&) {
        if (TIoResult listed = listing_.ListFolder(folder.toStdString()); !listed) throw EKelError(listed.reason);
    });
    model_->EndChange();
    if (laidOut_) FitColumns();
    listedFolder_ = QDir::currentPath();
    store_.WriteString("Browser", "Folder", listedFolder_.toStdString());
    WatchChanged();
}

void TFKelBrowse::RefreshListing() {
    if (folders_ && tree_->currentIndex().isValid()) tree_->scrollTo(tree_->currentIndex());
    const QString folder = TreeFolder();
    if (listing_.Selected >= 0 && SameFolder(folder, QDir::currentPath())) {
        const QString selected = QString::fromStdString(listing_.Entries[static_cast<std::size_t>(listing_.Selected)].StoredName);
        ListFolder(folder);
        Select(FindEntry(selected));
    } else {
        ListFolder(folder);
        Select(listing_.FirstProfile());
    }
    timer2_->start();
}

void TFKelBrowse::OpenProfilePath(const QString& path) {
    // An analysis names its own profile, which may lie in any folder.
    if (IsAnalysisFileName(path.toStdString())) {
        main_.OpenAnalysis(path);
        return;
    }
    const QFileInfo info(path);
    // The tree keeps its folder when the profile's cannot be entered; the
    // file is then asked for by its full path, so that the failure names it
    // and a namesake in the current folder is not opened instead.
    if (!QDir::setCurrent(info.absolutePath())) {
        main_.ShowProfile(info.absoluteFilePath());
        return;
    }
    // No drives here: every folder lies under the tree's one root.
    if (!SameFolder(TreeFolder(), QDir::currentPath())) {
        SelectTreeFolder(QDir::currentPath());
        RefreshListing();
    }
    const QString stored = StoredFileName(info.absoluteFilePath());
    Select(stored.isEmpty() ? -1 : FindEntry(QFileInfo(stored).fileName()));
    if (listing_.Selected >= 0)
        LBDetailsClick();
    else if (!main_.ShowProfile(info.fileName()))
        SelectShownProfile();
}

void TFKelBrowse::ShowFolder(const QString& folder) {
    SelectTreeFolder(folder);
    RefreshListing();
    show();
    raise();
    activateWindow();
}

void TFKelBrowse::dragEnterEvent(QDragEnterEvent* event) { AcceptLocalPaths(event); }

void TFKelBrowse::dropEvent(QDropEvent* event) {
    TakeDroppedPath(event, &main_, [main = &main_](const QString& path) { main->OpenDropped(path); });
}

void TFKelBrowse::SystemExecuteMacro(const QString& line) {
    if (std::optional<QString> path = OpenCommandPath(line)) OpenProfilePath(*path);
}

QString TFKelBrowse::StoredFileName(const QString& path) {
    const QFileInfo info(path);
    if (info.exists()) return info.absoluteFilePath();
    const QDir folder = info.absoluteDir();
    for (const QString& name : folder.entryList(QDir::Files | QDir::System))
        if (name.compare(info.fileName(), Qt::CaseInsensitive) == 0) return folder.filePath(name);
    return {};
}

QString TFKelBrowse::TreeFolder() const { return treeFolder_.isEmpty() ? QDir::currentPath() : treeFolder_; }

void TFKelBrowse::Select(int row) {
    listing_.Selected = model_->Entry(row) ? row : -1;
    if (listing_.Selected < 0) {
        list_->clearSelection();
        return;
    }
    const QModelIndex index = model_->index(row);
    list_->setCurrentIndex(index);
    list_->scrollTo(index);
}

int TFKelBrowse::FindEntry(const QString& storedName) const {
    // The stored name first: a folder may hold a.kel and A.KEL side by side.
    const std::string name = storedName.toStdString();
    const std::string lower = storedName.toLower().toStdString();
    int caseless = -1;
    for (std::size_t i = 0; i < listing_.Entries.size(); ++i) {
        if (listing_.Entries[i].StoredName == name) return static_cast<int>(i);
        if (caseless < 0 && listing_.Entries[i].Text == lower) caseless = static_cast<int>(i);
    }
    return caseless;
}

void TFKelBrowse::SelectTreeFolder(const QString& folder) {
    treeFolder_ = folder;
    revealTreeFolder_ = true;
    RevealTreeFolder();
}

void TFKelBrowse::RevealTreeFolder() {
    if (!folders_ || !revealTreeFolder_) return;
    const QModelIndex index = folders_->index(treeFolder_);
    for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent()) tree_->expand(parent);
    tree_->setCurrentIndex(index);
    tree_->scrollTo(index);
}

void TFKelBrowse::LBDetailsClick() {
    if (listing_.Selected < 0) return;
    if (!main_.ShowProfile(QString::fromStdString(listing_.Entries[static_cast<std::size_t>(listing_.Selected)].StoredName)))
        SelectShownProfile();
}

void TFKelBrowse::SelectShownProfile() {
    // A failed open left the window's profile as it was: the list points at
    // that one, or at none when it lies in another folder.
    const std::string& path = main_.Binding().Session().ProfilePath();
    const QFileInfo shown(QString::fromStdString(path));
    const bool listed = !path.empty() && SameFolder(shown.absolutePath(), listedFolder_);
    Select(listed ? FindEntry(shown.fileName()) : -1);
}

void TFKelBrowse::Timer2Timer() {
    timer2_->stop();
    LBDetailsClick();
}

void TFKelBrowse::ShellComboBox1Change(int index) {
    const QString root = shellCombo_->itemData(index).toString();
    SelectTreeFolder(root);
    tree_->expand(tree_->currentIndex());
}

void TFKelBrowse::ReportError(const QString& message) { main_.Binding().ShowError(message); }

}  // namespace kel
