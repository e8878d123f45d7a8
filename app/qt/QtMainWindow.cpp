#include "QtMainWindow.h"

#include "AboutUs.h"
#include "Layout.h"
#include "Publisher.h"
#include "QtDialogs.h"
#include "QtText.h"
#include "ResultListModel.h"
#include "SpinEdit.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTableView>
#include <QThread>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// A label's text colour through its palette: a style sheet would also stop it
// from taking the window's font.
void SetTextColor(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::ButtonText, color); // what a tool bar draws labels with
    widget->setPalette(palette);
}

QFont ProgramFont() {
    QFont::insertSubstitutions(
        QString::fromLatin1(layout::kFontFace),
        {QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC")});
    QFont font(QString::fromLatin1(layout::kFontFace));
    font.setPixelSize(layout::kFontPixels);
    return font;
}

QStyle::StandardPixmap GlyphIcon(layout::Glyph glyph) {
    switch (glyph) {
    case layout::Glyph::Inquire:
        return QStyle::SP_FileDialogContentsView;
    case layout::Glyph::ReInquire:
        return QStyle::SP_BrowserReload;
    case layout::Glyph::Stop:
        return QStyle::SP_BrowserStop;
    case layout::Glyph::Clear:
        return QStyle::SP_TrashIcon;
    case layout::Glyph::Export:
        return QStyle::SP_DialogSaveButton;
    case layout::Glyph::Help:
        return QStyle::SP_DialogHelpButton;
    case layout::Glyph::About:
        return QStyle::SP_MessageBoxInformation;
    case layout::Glyph::Close:
        break;
    }
    return QStyle::SP_DialogCloseButton;
}

} // namespace

TQtMainWindow::TQtMainWindow(TMainFormOptions options, QWidget* parent) : QMainWindow(parent) {
    BuildLayout();
    form_ = std::make_unique<TMainForm>(static_cast<IMainView&>(*this), std::move(options));
    listModel_ = new TResultListModel(form_->ResultList(), this);
    RzListView->setModel(listModel_);
    // The last column stretches: it takes what the others leave, and never less
    // than its own width, so the words column scrolls rather than vanishing.
    for (int column = 0; column < TResultList::kColumnCount; ++column) {
        RzListView->setColumnWidth(column, layout::kColumns[column].width);
    }
}

TQtMainWindow::~TQtMainWindow() {
    form_->Shutdown();
    // The model is a child object and would outlive the list it watches, which
    // the form owns: let it go first.
    RzListView->setModel(nullptr);
    delete listModel_;
    listModel_ = nullptr;
    form_.reset();
}

// ---------------------------------------------------------------- layout

void TQtMainWindow::BuildLayout() {
    setObjectName(QStringLiteral("MainForm"));
    setFont(ProgramFont());
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    resize(layout::kClientWidth, layout::kClientHeight);

    RzToolbar1 = new QToolBar(this);
    RzToolbar1->setObjectName(QStringLiteral("RzToolbar1"));
    RzToolbar1->setMovable(false);
    RzToolbar1->setFloatable(false);
    RzToolbar1->setFixedHeight(layout::kToolbarHeight);
    RzToolbar1->setContextMenuPolicy(Qt::PreventContextMenu);
    // The tool bar's icon size would override each button's own: 16 x 16 glyphs.
    // No style sheet: one would cut the buttons off from the window's font.
    RzToolbar1->setIconSize(QSize(layout::kGlyphSize, layout::kGlyphSize));
    RzToolbar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    addToolBar(Qt::TopToolBarArea, RzToolbar1);

    auto spacer = [this](int width) {
        auto* gap = new QWidget(RzToolbar1);
        gap->setFixedWidth(width);
        RzToolbar1->addWidget(gap);
    };
    using Handler = void (TMainForm::*)();
    const Handler handlers[] = {&TMainForm::xInquireBtClick, &TMainForm::xReInquireBtClick,
                                &TMainForm::xStopBtClick,    &TMainForm::xClearBtClick,
                                &TMainForm::xExportBtClick,  &TMainForm::xHelpBtClick,
                                &TMainForm::xAboutBtClick,   &TMainForm::xCloseBtClick};
    static_assert(std::size(handlers) == std::size(layout::kToolButtons));
    spacer(layout::kLeadingSpacer);
    int index = 0;
    for (const layout::ToolButton& tool : layout::kToolButtons) {
        if (tool.spacerBefore) {
            spacer(layout::kMiddleSpacer);
        }
        auto* button = new QToolButton(RzToolbar1);
        button->setObjectName(QString::fromLatin1(tool.name));
        button->setText(U(tool.caption));
        button->setToolTip(U(tool.hint));
        button->setAccessibleName(U(tool.caption));
        button->setIcon(style()->standardIcon(GlyphIcon(tool.glyph)));
        button->setIconSize(QSize(layout::kGlyphSize, layout::kGlyphSize));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setFixedSize(layout::kToolButtonWidth, layout::kToolButtonHeight);
        button->setAutoRaise(true);
        // A tool bar hides a widget through its action.
        RzToolbar1->addWidget(button)->setVisible(tool.visible);
        const Handler handler = handlers[index++];
        connect(button, &QToolButton::clicked, this,
                [this, handler] { (form_.get()->*handler)(); });
    }
    auto* stretch = new QWidget(RzToolbar1);
    stretch->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    RzToolbar1->addWidget(stretch);
    auto* support = new QLabel(Q(publisher::SupportText()), RzToolbar1);
    support->setObjectName(QStringLiteral("SupportLbl"));
    SetTextColor(support, Qt::blue);
    RzToolbar1->addWidget(support);
    spacer(8);

    // Left panel: the filter group over the syllable memo; the list at the right.
    auto* splitter1 = new QSplitter(Qt::Horizontal, this);
    splitter1->setObjectName(QStringLiteral("Splitter1"));
    splitter1->setHandleWidth(layout::kSplitterWidth);
    splitter1->setChildrenCollapsible(false);

    auto* panel = new QFrame(splitter1);
    panel->setObjectName(QStringLiteral("RzPanel2"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(2, 2, 2, 2);
    auto* splitter2 = new QSplitter(Qt::Vertical, panel);
    splitter2->setObjectName(QStringLiteral("Splitter2"));
    splitter2->setHandleWidth(layout::kSplitterWidth);
    splitter2->setChildrenCollapsible(false);
    panelLayout->addWidget(splitter2);
    splitter2->addWidget(BuildFilterGroup(splitter2));

    auto* memoGroup = new QGroupBox(U(layout::kMemoGroupTitle), splitter2);
    memoGroup->setObjectName(QStringLiteral("YinJieGbx"));
    auto* memoLayout = new QVBoxLayout(memoGroup);
    memoLayout->setContentsMargins(4, 4, 4, 4);
    YinjieMemo = new QPlainTextEdit(memoGroup);
    YinjieMemo->setObjectName(QStringLiteral("YinjieMemo"));
    YinjieMemo->setAccessibleName(U(layout::kMemoGroupTitle));
    YinjieMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    YinjieMemo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    {
        // The memo holds LF lines; the program's default text uses CR LF.
        QString text = U(layout::kMemoDefault);
        text.remove(QLatin1Char('\r'));
        YinjieMemo->setPlainText(text);
    }
    memoLayout->addWidget(YinjieMemo);
    splitter2->addWidget(memoGroup);
    splitter2->setSizes({layout::kFilterGroupHeight, 240});
    splitter2->setStretchFactor(0, 0);
    splitter2->setStretchFactor(1, 1);

    RzListView = new QTableView(splitter1);
    RzListView->setObjectName(QStringLiteral("RzListView"));
    RzListView->setAccessibleName(U(layout::kColumns[0].title));
    RzListView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    RzListView->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Several rows with Shift and Ctrl, all with Ctrl+A (the view's own key).
    RzListView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    RzListView->installEventFilter(this);
    RzListView->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(RzListView, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& position) { ShowListMenu(position); });
    RzListView->setShowGrid(false);
    RzListView->setWordWrap(false);
    RzListView->setSortingEnabled(false);
    RzListView->verticalHeader()->hide();
    RzListView->verticalHeader()->setDefaultSectionSize(20);
    RzListView->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // The header keeps a stretched section at least as wide as its own size:
    // the last column's is the minimum, so that it can shrink with the list.
    RzListView->horizontalHeader()->setMinimumSectionSize(16);
    RzListView->horizontalHeader()->setDefaultSectionSize(16);
    RzListView->horizontalHeader()->setStretchLastSection(true);
    RzListView->horizontalHeader()->setSectionsClickable(true);
    RzListView->horizontalHeader()->setHighlightSections(false);
    connect(RzListView->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int column) { form_->RzListViewColumnClick(column); });

    splitter1->addWidget(panel);
    splitter1->addWidget(RzListView);
    splitter1->setSizes({layout::kLeftPanelWidth, 380});
    splitter1->setStretchFactor(0, 0);
    splitter1->setStretchFactor(1, 1);
    setCentralWidget(splitter1);

    // Status bar: the text pane and the progress bar.
    auto* bar = statusBar();
    bar->setObjectName(QStringLiteral("RzStatusBar"));
    bar->setFixedHeight(layout::kStatusBarHeight);
    bar->setSizeGripEnabled(true);
    RzStatusPane = new QLabel(U(layout::kWelcome), bar);
    RzStatusPane->setObjectName(QStringLiteral("RzStatusPane"));
    RzStatusPane->setFixedWidth(layout::kStatusPaneWidth);
    bar->addWidget(RzStatusPane);
    RzProgressBar = new QProgressBar(bar);
    RzProgressBar->setObjectName(QStringLiteral("RzProgressBar"));
    RzProgressBar->setTextVisible(true);
    RzProgressBar->setAlignment(Qt::AlignCenter);
    bar->addWidget(RzProgressBar, 1);
    ShowProgress(TProgress{});

    // The diagnostic log nobody sees.
    RzMemo1 = new QPlainTextEdit(this);
    RzMemo1->setObjectName(QStringLiteral("RzMemo1"));
    RzMemo1->setReadOnly(true);
    RzMemo1->hide();

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(layout::kOuterWidth / 2, layout::kOuterHeight / 2));
    }
}

QWidget* TQtMainWindow::BuildFilterGroup(QWidget* parent) {
    auto* group = new QGroupBox(U(layout::kFilterGroupTitle), parent);
    group->setObjectName(QStringLiteral("SettinGbx"));
    group->setMinimumHeight(layout::kFilterGroupHeight);
    group->setMinimumWidth(layout::kLeftPanelWidth - 8);

    QLabel* lastLabel = nullptr;
    for (const layout::Control& c : layout::kFilterControls) {
        QWidget* widget = nullptr;
        switch (c.kind) {
        case layout::Kind::Label: {
            auto* label = new QLabel(U(c.text), group);
            label->setGeometry(c.x, c.y, std::max(c.width, label->sizeHint().width()), c.height);
            lastLabel = label;
            widget = label;
            break;
        }
        case layout::Kind::Combo: {
            SettingCbb = new QComboBox(group);
            SettingCbb->setEditable(false);
            connect(SettingCbb, &QComboBox::activated, this,
                    [this](int index) { form_->SettingCbbChange(index); });
            widget = SettingCbb;
            break;
        }
        case layout::Kind::Spin: {
            auto* spin = new TSpinEdit(group);
            spin->setRange(layout::kSpinMinimum, layout::kSpinMaximum);
            spin->setValue(QString::fromLatin1(c.text).toInt());
            spin->setGeometry(c.x, c.y, c.width, c.height);
            widget = spin;
            break;
        }
        case layout::Kind::Edit: {
            auto* edit = new QLineEdit(U(c.text), group);
            widget = edit;
            break;
        }
        case layout::Kind::Button: {
            auto* button = new QPushButton(U(c.text), group);
            button->setCursor(Qt::PointingHandCursor);
            button->setAccessibleName(U(c.text));
            widget = button;
            break;
        }
        case layout::Kind::Check:
            widget = new QCheckBox(U(c.text), group);
            break;
        }
        if (c.kind != layout::Kind::Label && c.kind != layout::Kind::Spin) {
            widget->setGeometry(c.x, c.y, c.width, c.height);
        }
        if (*c.name != '\0') {
            widget->setObjectName(QString::fromLatin1(c.name));
            // The caption label before an input names it for screen readers.
            if (lastLabel != nullptr && lastLabel != widget && c.kind != layout::Kind::Button) {
                widget->setAccessibleName(lastLabel->text().trimmed());
                lastLabel->setBuddy(widget);
            }
        }
        if (*c.hint != '\0') {
            widget->setToolTip(U(c.hint));
        }
        widget->setVisible(c.visible);
    }

    LabelCount = group->findChild<QLabel*>(QStringLiteral("LabelCount"));
    LabelCount->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    SetTextColor(LabelCount, QColor(0x80, 0, 0)); // maroon
    YmLenSp1 = group->findChild<TSpinEdit*>(QStringLiteral("YmLenSp1"));
    YmLenSp2 = group->findChild<TSpinEdit*>(QStringLiteral("YmLenSp2"));
    YmHanEd = group->findChild<QLineEdit*>(QStringLiteral("YmHanEd"));
    YmPaiEd = group->findChild<QLineEdit*>(QStringLiteral("YmPaiEd"));
    YmPiPeiEd = group->findChild<QLineEdit*>(QStringLiteral("YmPiPeiEd"));
    PrevKeyEd = group->findChild<QLineEdit*>(QStringLiteral("PrevKeyEd"));
    LastKeyEd = group->findChild<QLineEdit*>(QStringLiteral("LastKeyEd"));
    DuplicationChk = group->findChild<QCheckBox*>(QStringLiteral("DuplicationChk"));
    YmCiYuChk = group->findChild<QCheckBox*>(QStringLiteral("YmCiYuChk"));

    using Handler = void (TMainForm::*)();
    const std::pair<const char*, Handler> buttons[] = {{"stBt1", &TMainForm::stBt1Click},
                                                       {"stBt2", &TMainForm::stBt2Click},
                                                       {"stBt3", &TMainForm::stBt3Click},
                                                       {"stBt4", &TMainForm::stBt4Click}};
    for (const auto& [name, handler] : buttons) {
        auto* button = group->findChild<QPushButton*>(QString::fromLatin1(name));
        connect(button, &QPushButton::clicked, this,
                [this, handler = handler] { (form_.get()->*handler)(); });
    }
    return group;
}

// ---------------------------------------------------------------- IMainView

void TQtMainWindow::SetCaption(const std::string& caption) {
    setWindowTitle(Q(caption));
}

void TQtMainWindow::SetStatusText(const std::string& text) {
    RzStatusPane->setText(Q(text));
}

void TQtMainWindow::ShowProgress(const TProgress& progress) {
    // A range of 0 to 0 would make the bar a busy indicator: keep at least 1.
    RzProgressBar->setRange(0, std::max(1, progress.Total()));
    RzProgressBar->setValue(progress.Completed());
    RzProgressBar->setFormat(QString::number(progress.Percent()) + QLatin1Char('%'));
}

void TQtMainWindow::AppendLog(const std::string& line) {
    RzMemo1->appendPlainText(Q(line));
}

void TQtMainWindow::ShowMessage(const std::string& text) {
    qtdialogs::ShowBox(this, text, dialogs::Icon::Information);
}

void TQtMainWindow::ShowError(const std::string& text) {
    qtdialogs::ShowBox(this, text, dialogs::Icon::Error);
}

void TQtMainWindow::PauseUserInterface(int ms) {
    QThread::msleep(static_cast<unsigned long>(ms));
}

std::string TQtMainWindow::MemoText() const {
    // The memo holds LF lines; the program's texts use CR LF.
    const std::string text = Gbk(YinjieMemo->toPlainText());
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (const char c : text) {
        if (c == '\n') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

TProfileValues TQtMainWindow::FilterValues() const {
    TProfileValues values;
    values.YmLenSp1 = YmLenSp1->value();
    values.YmLenSp2 = YmLenSp2->value();
    values.YmHanEd = Gbk(YmHanEd->text());
    values.YmPaiEd = Gbk(YmPaiEd->text());
    values.YmPiPeiEd = Gbk(YmPiPeiEd->text());
    values.DuplicationChk = DuplicationChk->isChecked();
    values.PrevKeyEd = Gbk(PrevKeyEd->text());
    values.LastKeyEd = Gbk(LastKeyEd->text());
    values.YmCiYuChk = YmCiYuChk->isChecked();
    return values;
}

void TQtMainWindow::SetFilterValues(const TProfileValues& values) {
    YmLenSp1->setValue(values.YmLenSp1);
    YmLenSp2->setValue(values.YmLenSp2);
    YmHanEd->setText(Q(values.YmHanEd));
    YmPaiEd->setText(Q(values.YmPaiEd));
    YmPiPeiEd->setText(Q(values.YmPiPeiEd));
    DuplicationChk->setChecked(values.DuplicationChk);
    PrevKeyEd->setText(Q(values.PrevKeyEd));
    LastKeyEd->setText(Q(values.LastKeyEd));
    YmCiYuChk->setChecked(values.YmCiYuChk);
}

void TQtMainWindow::SetCountLabel(const std::string& text) {
    LabelCount->setText(Q(text));
}

void TQtMainWindow::SetProfileNames(const std::vector<std::string>& names) {
    const int selected = SettingCbb->currentIndex();
    SettingCbb->clear();
    for (const auto& name : names) {
        SettingCbb->addItem(Q(name));
    }
    SettingCbb->setCurrentIndex(std::min(selected, SettingCbb->count() - 1));
}

void TQtMainWindow::SelectProfile(int index) {
    SettingCbb->setCurrentIndex(index);
}

bool TQtMainWindow::AskSaveFileName(const dialogs::SaveOptions& options,
                                    platform::FilePath& chosen) {
    return qtdialogs::SaveFile(this, options, chosen);
}

bool TQtMainWindow::AskText(const std::string& caption, const std::string& prompt,
                            std::string& value, int maxLength) {
    return qtdialogs::InputQuery(this, caption, prompt, value, maxLength);
}

void TQtMainWindow::ShowAboutBox() {
    ::ShowAboutBox(this);
}

void TQtMainWindow::CloseWindow() {
    close();
}

void TQtMainWindow::RequestPump() {
    // Any thread: a queued call into the user-interface thread, which also runs
    // inside the event loops of modal boxes and dialogs. Dropped with the window.
    QMetaObject::invokeMethod(
        this, [this] { form_->PumpNotifications(); }, Qt::QueuedConnection);
}

// ---------------------------------------------------------------- the list's commands

std::vector<int> TQtMainWindow::SelectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : RzListView->selectionModel()->selectedRows()) {
        rows.push_back(index.row());
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

void TQtMainWindow::RunListCommand(layout::ListCommand command) {
    form_->RzListViewCommand(command, SelectedRows());
}

void TQtMainWindow::ShowListMenu(const QPoint& position) {
    // A right click on a row outside the selection selects that row alone, as
    // every list does; on the selection it keeps the selection.
    const QModelIndex at = RzListView->indexAt(position);
    if (at.isValid() && !RzListView->selectionModel()->isRowSelected(at.row(), QModelIndex())) {
        RzListView->selectionModel()->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect |
                                                              QItemSelectionModel::Rows);
    }
    const bool any = RzListView->selectionModel()->hasSelection();
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("RzListMenu"));
    for (const layout::ListMenuItem& item : layout::kListMenu) {
        QAction* action = menu.addAction(U(item.caption));
        action->setObjectName(QString::fromLatin1(item.name));
        if (*item.shortcut != '\0') {
            action->setShortcut(QKeySequence(QString::fromLatin1(item.shortcut)));
            action->setShortcutVisibleInContextMenu(true);
        }
        action->setEnabled(any);
        const layout::ListCommand command = item.command;
        connect(action, &QAction::triggered, this, [this, command] { RunListCommand(command); });
    }
    menu.exec(RzListView->viewport()->mapToGlobal(position));
}

bool TQtMainWindow::eventFilter(QObject* watched, QEvent* event) {
    // The list's own Ctrl+C copies one cell: here it copies the selected rows.
    if (watched == RzListView && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Copy)) {
            RunListCommand(layout::ListCommand::Copy);
            return true;
        }
        if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier) {
            RunListCommand(layout::ListCommand::Delete);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

bool TQtMainWindow::SetClipboardText(const std::string& text) {
    QGuiApplication::clipboard()->setText(Q(text));
    return true; // Qt keeps the text itself and hands it out when asked
}

void TQtMainWindow::closeEvent(QCloseEvent* event) {
    form_->Shutdown();
    event->accept();
}
