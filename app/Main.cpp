#include "Main.h"

#include "AboutUs.h"
#include "Base.h"
#include "Dialogs.h"
#include "Export.h"
#include "FileSystem.h"
#include "Generator.h"
#include "Profiles.h"
#include "Publisher.h"
#include "QtText.h"
#include "ResultListModel.h"
#include "SpinEdit.h"
#include "Texts.h"
#include "WebLink.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
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

namespace {

constexpr int kWorkerCount = 8;

VT_TEXT(MemoDefault, "ai  bai   bin    du fu gao hao hua jia jie kan \r\n"
                     "mai mei pai shan shi tian wen wa xi xiu you\r\n\r\n")
VT_TEXT(ShortcutDescriptionHead, "免费专业域名分析软件，欢迎到")
VT_TEXT(ShortcutDescriptionTail, "下载最新版本。")
VT_TEXT(ProfileCaption, "域名设置组合的名称")
VT_TEXT(ProfilePrompt, "请输入设置组合的名称：")
VT_TEXT(ExportFilterName, "文本文件")

// The memo's text in the program's form: lines end in CR LF.
std::string MemoText(const QPlainTextEdit* memo) {
    const std::string text = Gbk(memo->toPlainText());
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

QFont ProgramFont() {
    QFont::insertSubstitutions(QStringLiteral("SimSun"), {QStringLiteral("WenQuanYi Micro Hei"),
                                                          QStringLiteral("Noto Sans CJK SC")});
    QFont font(QStringLiteral("SimSun"));
    font.setPixelSize(14);
    return font;
}

} // namespace

TMainForm::TMainForm(TMainFormOptions options, QWidget* parent)
    : QMainWindow(parent), options_(std::move(options)) {
    executablePath_ =
        options_.ExecutablePath.empty() ? platform::ExecutablePath() : options_.ExecutablePath;
    iniPath_ = options_.IniPath.empty()
                   ? platform::ExtractFilePath(executablePath_) + "kestrova.ini"
                   : options_.IniPath;
    BuildLayout();
    FormCreate();
}

TMainForm::~TMainForm() {
    ShutdownWorkers();
    // The model is a child object and would outlive the list it watches, which
    // is a member: let it go first.
    RzListView->setModel(nullptr);
    delete listModel_;
    listModel_ = nullptr;
}

template <class F> void TMainForm::Guarded(F&& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        dialogs::ShowError(this, error.what());
    }
}

// ---------------------------------------------------------------- layout

QToolButton* TMainForm::AddToolButton(const char* name, const char* caption, const char* hint,
                                      int icon) {
    auto* button = new QToolButton(RzToolbar1);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(U(caption));
    button->setToolTip(U(hint));
    button->setAccessibleName(U(caption));
    button->setIcon(style()->standardIcon(static_cast<QStyle::StandardPixmap>(icon)));
    button->setIconSize(QSize(16, 16));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setFixedSize(60, 40);
    button->setAutoRaise(true);
    RzToolbar1->addWidget(button);
    return button;
}

void TMainForm::BuildLayout() {
    setObjectName(QStringLiteral("MainForm"));
    setFont(ProgramFont());
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    // 747 x 496 is the outer size; the frame takes about 8 x 30 of it.
    resize(739, 466);

    RzToolbar1 = new QToolBar(this);
    RzToolbar1->setObjectName(QStringLiteral("RzToolbar1"));
    RzToolbar1->setMovable(false);
    RzToolbar1->setFloatable(false);
    RzToolbar1->setFixedHeight(44);
    RzToolbar1->setContextMenuPolicy(Qt::PreventContextMenu);
    RzToolbar1->setStyleSheet(QStringLiteral("QToolButton { padding: 0px; margin: 0px; }"));
    addToolBar(Qt::TopToolBarArea, RzToolbar1);

    auto spacer = [this](int width) {
        auto* gap = new QWidget(RzToolbar1);
        gap->setFixedWidth(width);
        RzToolbar1->addWidget(gap);
    };
    spacer(6);
    xInquireBt = AddToolButton("xInquireBt", "查询", "快速查询域名是否可以注册。",
                               QStyle::SP_FileDialogContentsView);
    xStopBt = AddToolButton("xStopBt", "停止", "停止查询域名.", QStyle::SP_BrowserStop);
    xClearBt = AddToolButton("xClearBt", "清空", "清空全部域名列表。", QStyle::SP_TrashIcon);
    xExportBt =
        AddToolButton("xExportBt", "导出", "导出可以注册的域名。", QStyle::SP_DialogSaveButton);
    spacer(12);
    xHelpBt = AddToolButton("xHelpBt", "帮助", "提供软件的相关操作帮助说明。",
                            QStyle::SP_DialogHelpButton);
    xAboutBt =
        AddToolButton("xAboutBt", "关于", "查看软件的设计说明。", QStyle::SP_MessageBoxInformation);
    xCloseBt =
        AddToolButton("xCloseBt", "关闭", "停止操作，关闭退出软件。", QStyle::SP_DialogCloseButton);
    // A tool bar hides a widget through its action.
    for (QAction* action : RzToolbar1->actions()) {
        if (RzToolbar1->widgetForAction(action) == xClearBt) {
            action->setVisible(false);
        }
    }
    auto* stretch = new QWidget(RzToolbar1);
    stretch->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    RzToolbar1->addWidget(stretch);
    SupportLbl = new QLabel(Q(publisher::SupportText()), RzToolbar1);
    SupportLbl->setObjectName(QStringLiteral("SupportLbl"));
    SupportLbl->setStyleSheet(QStringLiteral("color: blue"));
    RzToolbar1->addWidget(SupportLbl);
    spacer(8);

    connect(xInquireBt, &QToolButton::clicked, this,
            [this] { Guarded([this] { xInquireBtClick(); }); });
    connect(xStopBt, &QToolButton::clicked, this, [this] { Guarded([this] { xStopBtClick(); }); });
    connect(xClearBt, &QToolButton::clicked, this,
            [this] { Guarded([this] { xClearBtClick(); }); });
    connect(xExportBt, &QToolButton::clicked, this,
            [this] { Guarded([this] { xExportBtClick(); }); });
    connect(xHelpBt, &QToolButton::clicked, this, [this] { Guarded([this] { xHelpBtClick(); }); });
    connect(xAboutBt, &QToolButton::clicked, this,
            [this] { Guarded([this] { xAboutBtClick(); }); });
    connect(xCloseBt, &QToolButton::clicked, this,
            [this] { Guarded([this] { xCloseBtClick(); }); });

    // Left panel: the filter group over the syllable memo; the list at the right.
    Splitter1 = new QSplitter(Qt::Horizontal, this);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setHandleWidth(3);
    Splitter1->setChildrenCollapsible(false);

    auto* panel = new QFrame(Splitter1);
    panel->setObjectName(QStringLiteral("RzPanel2"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(2, 2, 2, 2);
    Splitter2 = new QSplitter(Qt::Vertical, panel);
    Splitter2->setObjectName(QStringLiteral("Splitter2"));
    Splitter2->setHandleWidth(3);
    Splitter2->setChildrenCollapsible(false);
    panelLayout->addWidget(Splitter2);
    Splitter2->addWidget(BuildFilterGroup());

    YinJieGbx = new QGroupBox(U("使用汉语音节："), Splitter2);
    YinJieGbx->setObjectName(QStringLiteral("YinJieGbx"));
    auto* memoLayout = new QVBoxLayout(YinJieGbx);
    memoLayout->setContentsMargins(4, 4, 4, 4);
    YinjieMemo = new QPlainTextEdit(YinJieGbx);
    YinjieMemo->setObjectName(QStringLiteral("YinjieMemo"));
    YinjieMemo->setAccessibleName(U("使用汉语音节："));
    YinjieMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    YinjieMemo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    {
        // The memo holds LF lines; the program's default text uses CR LF.
        QString text = Q(MemoDefault());
        text.remove(QLatin1Char('\r'));
        YinjieMemo->setPlainText(text);
    }
    memoLayout->addWidget(YinjieMemo);
    Splitter2->addWidget(YinJieGbx);
    Splitter2->setSizes({175, 240});
    Splitter2->setStretchFactor(0, 0);
    Splitter2->setStretchFactor(1, 1);

    RzListView = new QTableView(Splitter1);
    RzListView->setObjectName(QStringLiteral("RzListView"));
    RzListView->setAccessibleName(U("域名"));
    listModel_ = new TResultListModel(list_, this);
    RzListView->setModel(listModel_);
    RzListView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    RzListView->setSelectionBehavior(QAbstractItemView::SelectRows);
    RzListView->setSelectionMode(QAbstractItemView::SingleSelection);
    RzListView->setShowGrid(false);
    RzListView->setWordWrap(false);
    RzListView->setSortingEnabled(false);
    RzListView->verticalHeader()->hide();
    RzListView->verticalHeader()->setDefaultSectionSize(20);
    RzListView->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    RzListView->horizontalHeader()->setStretchLastSection(true);
    RzListView->horizontalHeader()->setSectionsClickable(true);
    RzListView->horizontalHeader()->setHighlightSections(false);
    RzListView->setColumnWidth(0, 120);
    RzListView->setColumnWidth(1, 70);
    RzListView->setColumnWidth(2, 90);
    RzListView->setColumnWidth(3, 90);
    connect(RzListView->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int column) { Guarded([this, column] { RzListViewColumnClick(column); }); });

    Splitter1->addWidget(panel);
    Splitter1->addWidget(RzListView);
    Splitter1->setSizes({353, 380});
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    setCentralWidget(Splitter1);

    // Status bar: the text pane and the progress bar.
    auto* bar = statusBar();
    bar->setObjectName(QStringLiteral("RzStatusBar"));
    bar->setFixedHeight(19);
    bar->setSizeGripEnabled(true);
    RzStatusPane = new QLabel(U("欢迎使用免费软件..."), bar);
    RzStatusPane->setObjectName(QStringLiteral("RzStatusPane"));
    RzStatusPane->setFixedWidth(354);
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
        move(area.center() - QPoint(747 / 2, 496 / 2));
    }
}

QWidget* TMainForm::BuildFilterGroup() {
    SettinGbx = new QGroupBox(U("域名组合设置："), Splitter2);
    SettinGbx->setObjectName(QStringLiteral("SettinGbx"));
    SettinGbx->setMinimumHeight(175);
    SettinGbx->setMinimumWidth(345);

    auto label = [this](const char* text, int x, int y) {
        auto* l = new QLabel(U(text), SettinGbx);
        l->setGeometry(x, y + 3, l->sizeHint().width(), 16);
        return l;
    };
    auto button = [this](const char* name, const char* caption, const char* hint, int y) {
        auto* b = new QPushButton(U(caption), SettinGbx);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(U(hint));
        b->setAccessibleName(U(caption));
        b->setCursor(Qt::PointingHandCursor);
        b->setGeometry(272, y - 1, 66, 24);
        return b;
    };
    auto edit = [this](const char* name, int x, int y, int width, QLabel* caption) {
        auto* e = new QLineEdit(SettinGbx);
        e->setObjectName(QString::fromLatin1(name));
        e->setGeometry(x, y, width, 22);
        if (caption) {
            e->setAccessibleName(caption->text().trimmed());
            caption->setBuddy(e);
        }
        return e;
    };
    const int rows[] = {22, 52, 82, 112, 142};

    // Row 1: the profile list and the count.
    QLabel* settingLabel = label("设置组合:    ", 8, rows[0]);
    SettingCbb = new QComboBox(SettinGbx);
    SettingCbb->setObjectName(QStringLiteral("SettingCbb"));
    SettingCbb->setEditable(false);
    SettingCbb->setGeometry(80, rows[0], 153, 22);
    SettingCbb->setToolTip(
        U("已经命名的域名过滤设置列表，选择其中一个软件自动设置好下面的设置项目。"));
    SettingCbb->setAccessibleName(settingLabel->text().trimmed());
    connect(SettingCbb, &QComboBox::activated, this,
            [this](int index) { Guarded([this, index] { SettingCbbChange(index); }); });
    LabelCount = new QLabel(U("共0000个域名"), SettinGbx);
    LabelCount->setObjectName(QStringLiteral("LabelCount"));
    LabelCount->setStyleSheet(QStringLiteral("color: maroon"));
    LabelCount->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    LabelCount->setGeometry(236, rows[0] + 3, 104, 16);

    // Row 2: the length range. The caption "域名长度:        位至       位" has two
    // gaps that the spin edits fill; its three words stand around them, placed
    // by the font's own widths so that no spin edit covers a word.
    label("域名长度:", 8, rows[1]);
    YmLenSp1 = new TSpinEdit(SettinGbx);
    YmLenSp1->setObjectName(QStringLiteral("YmLenSp1"));
    YmLenSp1->setGeometry(80, rows[1], 39, 22);
    YmLenSp1->setValue(2);
    YmLenSp1->setAccessibleName(U("域名长度"));
    QLabel* toLabel = label("位至", 80 + 39 + 3, rows[1]);
    YmLenSp2 = new TSpinEdit(SettinGbx);
    YmLenSp2->setObjectName(QStringLiteral("YmLenSp2"));
    YmLenSp2->setGeometry(toLabel->geometry().right() + 4, rows[1], 39, 22);
    YmLenSp2->setValue(10);
    YmLenSp2->setAccessibleName(U("位至"));
    label("位", YmLenSp2->geometry().right() + 4, rows[1]);
    auto* st1 = button("stBt1", "增加域名", "将域名添加到右边的待查列表中...", rows[1]);
    connect(st1, &QPushButton::clicked, this, [this] { Guarded([this] { stBt1Click(); }); });

    // Rows 3 and 4: contains and exclude words.
    YmHanEd = edit("YmHanEd", 80, rows[2], 153, label("含有字符:      ", 8, rows[2]));
    YmHanEd->setToolTip(U("用空格隔开，只要含有其中1项字符即可。"));
    auto* st2 = button("stBt2", "清空域名", "将待查列表中的域名全部清除...", rows[2]);
    connect(st2, &QPushButton::clicked, this, [this] { Guarded([this] { stBt2Click(); }); });
    YmPaiEd = edit("YmPaiEd", 80, rows[3], 153, label("排除字符:      ", 8, rows[3]));
    YmPaiEd->setToolTip(U("用空格隔开，合格域名必须排除全部字符项。"));
    auto* st3 = button("stBt3", "清除设置", "清除左边的域名过滤设置。", rows[3]);
    connect(st3, &QPushButton::clicked, this, [this] { Guarded([this] { stBt3Click(); }); });

    // Row 5: the fixed leading and trailing syllables.
    PrevKeyEd = edit("PrevKeyEd", 80, rows[4], 49, label("前置词:  ", 8, rows[4]));
    PrevKeyEd->setToolTip(U("固定在前面的音节"));
    QLabel* lastLabel = label("后置词: ", 80 + 49 + 8, rows[4]);
    LastKeyEd = edit("LastKeyEd", lastLabel->geometry().right() + 2, rows[4], 49, lastLabel);
    LastKeyEd->setToolTip(U("固定在最后的音节"));
    auto* st4 = button("stBt4", "保存设置", "保存左边的所有域名过滤设置为一个命名记录。", rows[4]);
    connect(st4, &QPushButton::clicked, this, [this] { Guarded([this] { stBt4Click(); }); });

    // Never shown, yet part of every generation and every profile.
    QLabel* patternLabel = label("域名模式匹配:      ", 8, rows[4] + 30);
    patternLabel->hide();
    YmPiPeiEd = edit("YmPiPeiEd", 80, rows[4] + 30, 121, patternLabel);
    YmPiPeiEd->setText(QStringLiteral("z*s"));
    YmPiPeiEd->setToolTip(
        U("用空格隔开，用*表示若干个字符，用?表示1个不定字符，只要匹配其中1项即可。"));
    YmPiPeiEd->hide();
    DuplicationChk = new QCheckBox(U("必须是两叠词,aab,aba,abb"), SettinGbx);
    DuplicationChk->setObjectName(QStringLiteral("DuplicationChk"));
    DuplicationChk->setToolTip(U("要求条件是重叠的三拼域名，比如：wowohao或者aibuai这样的域名。"));
    DuplicationChk->setGeometry(208, rows[4] + 30, 130, 20);
    DuplicationChk->hide();
    return SettinGbx;
}

// ---------------------------------------------------------------- start

void TMainForm::FormCreate() {
    Guarded([this] {
        setWindowTitle(U("Vantreel v1.08 - ") + Q(publisher::Name()) + QLatin1Char(' ') +
                       Q(publisher::WebAddress()));
        workers_.clear();
        std::vector<TYmSeek*> pool;
        for (int i = 0; i < kWorkerCount; ++i) {
            auto worker = std::make_unique<TYmSeek>(i, true, dispatcher_, options_.Seek);
            worker->OnSeekActStart = [this](TYmSeek* w) {
                Guarded([&] { BakOnSeekActStart(w); });
            };
            worker->OnSeekActProcess = [this](TYmSeek* w) {
                Guarded([&] { BakOnSeekActProcess(w); });
            };
            worker->OnSeekActOnce = [this](TYmSeek* w) {
                Guarded([&] { BakOnSeekActOnce(w); });
            };
            worker->OnSeekActFinish = [this](TYmSeek* w) {
                Guarded([&] { BakOnSeekActFinish(w); });
            };
            pool.push_back(worker.get());
            workers_.push_back(std::move(worker));
        }
        runs_ = std::make_unique<TRunController>(list_, pool, static_cast<IRunView&>(*this),
                                                 options_.StopPauseMs);

        SettingCbb->clear();
        for (const auto& name : ListProfiles(iniPath_)) {
            SettingCbb->addItem(Q(name), QByteArray(name.data(), static_cast<int>(name.size())));
        }
        SettingCbb->setCurrentIndex(-1);

        CreateDesktopShortcut(executablePath_, "", texts::AppTitle(),
                              ShortcutDescriptionHead() + publisher::WebHost() +
                                  ShortcutDescriptionTail());
    });
}

// ---------------------------------------------------------------- runs

void TMainForm::xInquireBtClick() {
    runs_->StartRun();
}

void TMainForm::xStopBtClick() {
    runs_->StopRun();
}

void TMainForm::BakOnSeekActStart(TYmSeek* worker) {
    runs_->SeekStarted(worker);
}

void TMainForm::BakOnSeekActProcess(TYmSeek* worker) {
    runs_->SeekProgressed(worker);
}

void TMainForm::BakOnSeekActOnce(TYmSeek* worker) {
    runs_->SeekAnswered(worker);
}

void TMainForm::BakOnSeekActFinish(TYmSeek* worker) {
    runs_->SeekFinished(worker);
}

void TMainForm::SetStatusText(const std::string& text) {
    RzStatusPane->setText(Q(text));
}

void TMainForm::ShowProgress(const TProgress& progress) {
    // A range of 0 to 0 would make the bar a busy indicator: keep at least 1.
    RzProgressBar->setRange(0, std::max(1, progress.Total()));
    RzProgressBar->setValue(progress.Completed());
    RzProgressBar->setFormat(QString::number(progress.Percent()) + QLatin1Char('%'));
}

void TMainForm::AppendLog(const std::string& line) {
    RzMemo1->appendPlainText(Q(line));
}

void TMainForm::ShowMessage(const std::string& text) {
    dialogs::ShowMessage(this, text);
}

void TMainForm::PauseUserInterface(int ms) {
    QThread::msleep(static_cast<unsigned long>(ms));
}

// ---------------------------------------------------------------- list

void TMainForm::xClearBtClick() {
    list_.Clear();
}

void TMainForm::RzListViewColumnClick(int column) {
    sortColumn_ = column;
    list_.Sort(sortColumn_);
}

void TMainForm::xExportBtClick() {
    const std::vector<std::string> names = CollectAvailable(list_);
    dialogs::SaveOptions options;
    options.filterName = ExportFilterName();
    options.filterPattern = "*.txt";
    options.defaultExtension = "txt";
    options.initialFolder = platform::ExtractFilePath(executablePath_);
    options.fileName = lastExportName_;
    std::string chosen;
    if (!dialogs::SaveFile(this, options, chosen)) {
        return;
    }
    lastExportName_ = chosen;
    WriteExportFile(chosen, names);
}

// ---------------------------------------------------------------- generation

void TMainForm::stBt1Click() {
    TGenerationInputs inputs;
    inputs.Memo = MemoText(YinjieMemo);
    inputs.LenMin = YmLenSp1->value();
    inputs.LenMax = YmLenSp2->value();
    inputs.Han = Gbk(YmHanEd->text());
    inputs.Pai = Gbk(YmPaiEd->text());
    inputs.PiPei = Gbk(YmPiPeiEd->text());
    inputs.Duplication = DuplicationChk->isChecked();
    inputs.PrevKey = Gbk(PrevKeyEd->text());
    inputs.LastKey = Gbk(LastKeyEd->text());
    std::string refusal;
    const auto request = ReadGenerationRequest(inputs, runs_->InProgress(), list_.Count(), refusal);
    if (!request) {
        ShowMessage(refusal);
        return;
    }
    list_.AddPendingRows(GenerateCaptions(*request));
    LabelCount->setText(Q(CountLabelAfterGeneration(list_.Count())));
}

void TMainForm::stBt2Click() {
    if (runs_->InProgress()) {
        ShowMessage(texts::RunInProgress());
        return;
    }
    list_.Clear();
    LabelCount->setText(Q(CountLabelAfterEmptying(list_.Count())));
}

// ---------------------------------------------------------------- profiles

TProfileValues TMainForm::CurrentProfileValues() const {
    TProfileValues values;
    values.YmLenSp1 = YmLenSp1->value();
    values.YmLenSp2 = YmLenSp2->value();
    values.YmHanEd = Gbk(YmHanEd->text());
    values.YmPaiEd = Gbk(YmPaiEd->text());
    values.YmPiPeiEd = Gbk(YmPiPeiEd->text());
    values.DuplicationChk = DuplicationChk->isChecked();
    values.PrevKeyEd = Gbk(PrevKeyEd->text());
    values.LastKeyEd = Gbk(LastKeyEd->text());
    return values;
}

void TMainForm::ApplyProfile(const TProfileValues& values) {
    YmLenSp1->setValue(ClampLength(values.YmLenSp1));
    YmLenSp2->setValue(ClampLength(values.YmLenSp2));
    YmHanEd->setText(Q(values.YmHanEd));
    YmPaiEd->setText(Q(values.YmPaiEd));
    YmPiPeiEd->setText(Q(values.YmPiPeiEd));
    DuplicationChk->setChecked(values.DuplicationChk);
    PrevKeyEd->setText(Q(values.PrevKeyEd));
    LastKeyEd->setText(Q(values.LastKeyEd));
}

void TMainForm::SettingCbbChange(int index) {
    if (index < 0) {
        return;
    }
    const QByteArray name = SettingCbb->itemData(index).toByteArray();
    ApplyProfile(LoadProfile(iniPath_,
                             std::string(name.constData(), static_cast<std::size_t>(name.size()))));
}

void TMainForm::stBt3Click() {
    const TProfileValues cleared = ClearedProfileValues();
    YmLenSp1->setValue(cleared.YmLenSp1);
    YmLenSp2->setValue(cleared.YmLenSp2);
    YmHanEd->clear();
    YmPaiEd->clear();
    YmPiPeiEd->clear();
    SettingCbb->setCurrentIndex(-1);
    DuplicationChk->setChecked(false);
    PrevKeyEd->clear();
    LastKeyEd->clear();
}

void TMainForm::stBt4Click() {
    std::string name;
    if (!dialogs::InputQuery(this, ProfileCaption(), ProfilePrompt(), name, 255) || name.empty()) {
        return;
    }
    SaveProfile(iniPath_, name, CurrentProfileValues());
    SettingCbb->addItem(Q(name), QByteArray(name.data(), static_cast<int>(name.size())));
    SettingCbb->setCurrentIndex(SettingCbb->count() - 1);
}

// ---------------------------------------------------------------- shell

void TMainForm::xHelpBtClick() {
    platform::OpenWebAddress(publisher::HelpAddress(platform::ExtractFilePath(executablePath_)));
}

void TMainForm::xAboutBtClick() {
    ShowAboutBox(this);
}

void TMainForm::xCloseBtClick() {
    xStopBtClick();
    close();
}

void TMainForm::ShutdownWorkers() {
    if (shutDown_) {
        return;
    }
    shutDown_ = true;
    // First refuse every notification and release the workers waiting for one,
    // then end each worker; a blocked exchange is cut.
    dispatcher_.Shutdown();
    for (auto& worker : workers_) {
        worker->StopSeek();
        worker->Terminate();
    }
    for (auto& worker : workers_) {
        worker->Shutdown();
    }
}

void TMainForm::closeEvent(QCloseEvent* event) {
    ShutdownWorkers();
    event->accept();
}
