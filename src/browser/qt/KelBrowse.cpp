#include "browser/qt/KelBrowse.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFileSystemWatcher>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QStandardItemModel>
#include <QStorageInfo>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include "app/qt/KelViewWindow.h"
#include "app/qt/SessionBinding.h"
#include "browser/qt/CommandChannel.h"
#include "browser/qt/DetailsList.h"
#include "common/DateTime.h"
#include "plot/qt/WidgetNames.h"

namespace kel {

namespace {

constexpr int kTimer2Ms = 1000;
// Writers of a profile change its folder several times; relist once after.
constexpr int kWatchSettleMs = 300;

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

}  // namespace

TFKelBrowse::TFKelBrowse(TFKelView& main, SettingsStore& store)
    : QWidget(&main, Qt::Window), main_(main), store_(store) {
    setObjectName(QStringLiteral("TFKelBrowse"));
    setWindowTitle(QStringLiteral("Multi ions explorer"));
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
    auto* buttons = new QHBoxLayout;
    shellCombo_ = new QComboBox(this);
    Name(shellCombo_, "ShellComboBox1", QStringLiteral("Folder"));
    shellCombo_->setFixedWidth(161);
    for (const QString& root : Roots()) shellCombo_->addItem(QDir::toNativeSeparators(root), root);
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
    watch_ = new QCheckBox(QStringLiteral("Watch folder"), this);
    Name(watch_, "cbWatch", watch_->text());
    follow_ = new QCheckBox(QStringLiteral("Follow newest"), this);
    Name(follow_, "cbFollow", follow_->text());
    follow_->setEnabled(false);
    buttons->addWidget(watch_);
    buttons->addWidget(follow_);
    buttons->addStretch(1);
    button("btClose", QStringLiteral("Close"), &QWidget::hide);
    layout->addLayout(buttons);

    auto* split = new QSplitter(Qt::Horizontal, this);
    split->setObjectName(QStringLiteral("Splitter1"));
    folders_ = new QFileSystemModel(this);
    folders_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    folders_->setRootPath(QDir::rootPath());
    tree_ = new QTreeView(split);
    Name(tree_, "DirectoryOutline1", QStringLiteral("Folders"));
    tree_->setModel(folders_);
    for (int column = 1; column < folders_->columnCount(); ++column) tree_->hideColumn(column);
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
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Keys move the selection as clicks do, without opening.
    connect(list_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& index) {
        if (model_->Entry(index.row())) listing_.Selected = index.row();
    });
    connect(header_, &QHeaderView::sectionResized, list_->viewport(), qOverload<>(&QWidget::update));
    connect(list_, &QListView::clicked, this, [this](const QModelIndex& index) {
        if (!model_->Entry(index.row())) return;
        Select(index.row());
        LBDetailsClick();
    });
    connect(list_, &QListView::doubleClicked, this, &QWidget::hide);
    int section = 0;
    for (int width : {191, 120, 38, 78, 86, 40}) header_->resizeSection(section++, width);
    // The dates are not clipped: with a font wider than the one the widths
    // were made for, the date section grows so that a date stays clear of
    // its ion.
    const QString widest =
        QString::fromStdString(QtDateTextFormatter().DateTimeText(EncodeDateTime({2000, 12, 28, 23, 58, 58, 0})));
    header_->resizeSection(1, std::max(header_->sectionSize(1), list_->fontMetrics().horizontalAdvance(widest) + 8));
    header_->setFixedHeight(header_->sizeHint().height());
    rightLayout->addWidget(header_);
    rightLayout->addWidget(list_, 1);
    split->addWidget(tree_);
    split->addWidget(right);
    split->setSizes({233, 816 - 233});
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
}

void TFKelBrowse::ListFolder(const QString& folder) {
    model_->BeginChange();
    main_.Binding().Run([&](TKelViewSession&) {
        TIoResult listed = listing_.ListFolder(folder.toStdString());
        if (!listed) throw EKelError(listed.description());
    });
    model_->EndChange();
    listedFolder_ = QDir::currentPath();
    store_.WriteString("Browser", "Folder", listedFolder_.toStdString());
    WatchChanged();
}

void TFKelBrowse::RefreshListing() {
    if (tree_->currentIndex().isValid()) tree_->scrollTo(tree_->currentIndex());
    const QString folder = TreeFolder();
    if (listing_.Selected >= 0 && SameFolder(folder, QDir::currentPath())) {
        const QString selected = QString::fromStdString(listing_.Entries[static_cast<std::size_t>(listing_.Selected)].StoredName);
        ListFolder(folder);
        Select(FindEntry(selected));
    } else {
        ListFolder(folder);
        Select(listing_.Entries.empty() ? -1 : 0);
    }
    timer2_->start();
}

void TFKelBrowse::OpenProfilePath(const QString& path) {
    const QFileInfo info(path);
    QDir::setCurrent(info.absolutePath());  // a failure is not reported: the tree keeps its folder
    // No drives here: every folder lies under the tree's one root.
    if (!SameFolder(TreeFolder(), QDir::currentPath())) {
        SelectTreeFolder(QDir::currentPath());
        RefreshListing();
    }
    const QString stored = StoredFileName(info.absoluteFilePath());
    Select(stored.isEmpty() ? -1 : FindEntry(QFileInfo(stored).fileName()));
    if (listing_.Selected >= 0)
        LBDetailsClick();
    else
        main_.ShowProfile(info.fileName());
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

QString TFKelBrowse::TreeFolder() const {
    const QModelIndex index = tree_->currentIndex();
    return index.isValid() ? folders_->filePath(index) : QDir::currentPath();
}

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
    const QModelIndex index = folders_->index(folder);
    tree_->setCurrentIndex(index);
    tree_->scrollTo(index);
}

void TFKelBrowse::LBDetailsClick() {
    if (listing_.Selected < 0) return;
    main_.ShowProfile(QString::fromStdString(listing_.Entries[static_cast<std::size_t>(listing_.Selected)].StoredName));
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
