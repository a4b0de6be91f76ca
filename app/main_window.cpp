#include "app/main_window.h"

#include "app/assets.h"
#include "app/banner_animation.h"
#include "app/banner_image.h"
#include "app/bitmap_button.h"
#include "app/caption_text.h"
#include "app/controls.h"
#include "app/lamp.h"
#include "app/locked_tab_widget.h"
#include "app/log_memo.h"
#include "app/time_stamp.h"
#include "comm32/comm32.h"
#include "core/log_text.h"
#include "core/run_state.h"
#include "core/switches.h"
#include "firmware/image_loader.h"
#include "protocol/boot_entry.h"
#include "search/port_search.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QMessageBox>
#include <QScopedValueRollback>
#include <QScreen>
#include <QSocketNotifier>
#include <QTime>
#include <QTimer>
#include <QVBoxLayout>
#include <thread>

namespace ob {

namespace {

constexpr QSize ClientArea{472, 434};
constexpr int TickMilliseconds = 50;
// How long a window event may wait while a loop waits for the port.
constexpr auto EventWaitBudget = std::chrono::milliseconds(10);
constexpr int TabWidth = 90;
constexpr int PageMargin = 4; // the pages are 464 wide inside the 472-wide page control

// A caption bar and a minimise button, nothing to resize or maximise with.
constexpr Qt::WindowFlags WindowLook =
    Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint;

bool IsEnterKey(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

TfmMain::TfmMain(QWidget* parent) : QWidget(parent, WindowLook) {
    buildWindow();
    buildLampStrip();
    buildPageControl();

    auto* client = new QVBoxLayout(this);
    client->setContentsMargins(0, 0, 0, 0);
    client->setSpacing(0);
    client->addWidget(pnLeds);
    client->addWidget(pgMain, 1);

    tmTimer = new QTimer(this);
    tmTimer->setInterval(TickMilliseconds);
    connectHandlers();
    tmTimer->start();
    InstallWindow(this);
}

TfmMain::~TfmMain() {
    InstallWindow(nullptr);
}

void TfmMain::buildWindow() {
    PreferMetricCompatibleFonts();
    setObjectName("fmMain");
    setWindowTitle("Orbeline OB7300 - Firmware v1.37 (important)");
    setWindowIcon(ProgramIcon());
    setFont(SansSerifFont(13));
    SetBackground(*this, palette().color(QPalette::Button));
    setFixedSize(ClientArea);
    timeSeparator = TimeSeparator(QLocale::system());
    if (QScreen* desktop = screen())
        move(desktop->availableGeometry().center() - rect().center());
}

void TfmMain::buildPageControl() {
    pgMain = new LockedTabWidget(TabWidth, PageMargin, this);
    pgMain->setObjectName("pgMain");
    pgMain->addTab(buildIntroductionPage(), " Introduction >");
    pgMain->addTab(buildConnectPage(), "Connect >");
    pgMain->addTab(buildCyclePowerPage(), "Cycle power >");
    pgMain->addTab(buildDownloadPage(), "Download >");
    pgMain->addTab(buildFinishedPage(), " Finished");
}

void TfmMain::connectHandlers() {
    connect(tmTimer, &QTimer::timeout, this, &TfmMain::tmTimerTimer);
    connect(pgMain, &QTabWidget::currentChanged, this, &TfmMain::pageShown);
    connect(btExit, &QPushButton::clicked, this, &TfmMain::btExitClick);
    connect(btExit2, &QPushButton::clicked, this, &TfmMain::btExitClick);
    connect(btNext1, &QPushButton::clicked, this, &TfmMain::btNext1Click);
    // The user's choice only: filling the list is no selection.
    connect(cbPortaSer, &QComboBox::activated, this, &TfmMain::cbPortaSerChange);
    connect(btNext2, &QPushButton::clicked, this, &TfmMain::btNext2Click);
    connect(btExit3, &QPushButton::clicked, this, &TfmMain::btExit3Click);
    connect(btExit5, &QPushButton::clicked, this, &TfmMain::btExit5Click);
}

// ---- start-up and the tick ----

void TfmMain::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (formShown)
        return;
    formShown = true;
    FormShow();
}

void TfmMain::FormShow() {
    selectPage(Page::Introduction);
    if (loadfile())
        showInvalidFirmware();
    ReadPortNames();
    tmTimer->setInterval(TickMilliseconds);
}

bool TfmMain::loadfile() {
    return ob::loadfile();
}

void TfmMain::showInvalidFirmware() {
    SetCaption(*pnWarning, "INVALID FIRMWARE - SORRY");
    pnLeds->show();
    pnWarning->show();
    btNext1->setEnabled(false);
    tmTimer->stop();
}

void TfmMain::tmTimerTimer() {
    // Long loops process events; a tick that comes in meanwhile must not run inside this one.
    if (inTick)
        return;
    const QScopedValueRollback<bool> running(inTick, true);
    if (CommandLinePortGiven()) {
        StartFromCommandLine();
        EnterBoot();
    } else if (page() == Page::Introduction) {
        StepIntroductionBanner();
    } else if (page() == Page::Connect) {
        StepConnectBanner();
        if (SearchStep() == SearchResult::EnterBoot)
            EnterBoot();
    }
}

void TfmMain::EnterBoot() {
    ob::EnterBoot();
}

void TfmMain::StepIntroductionBanner() {
    const BannerPlace step =
        ob::StepIntroductionBanner({Image1->x(), Image1->width()}, TabSheet1->width());
    Image1->setGeometry(step.left, Image1->y(), step.width, Image1->height());
}

void TfmMain::StepConnectBanner() {
    const BannerPlace step = ob::StepConnectBanner({Image2->x(), Image2->width()},
                                                   TabSheet2->width(), !gbSelect->isHidden());
    Image2->setGeometry(step.left, Image2->y(), step.width, Image2->height());
}

bool TfmMain::timerRunning() const {
    return tmTimer->isActive();
}

// ---- pages and buttons ----

void TfmMain::pageShown(int index) {
    switch (Page(index)) {
    case Page::Connect:
        TabSheet2Show();
        break;
    case Page::CyclePower:
        TabSheet3Show();
        break;
    case Page::Finished:
        TabSheet5Show();
        break;
    default:
        break;
    }
}

void TfmMain::TabSheet2Show() {
    Image2->setPicture(Image1->picture());
}

void TfmMain::TabSheet3Show() {
    Image3->setPicture(Image1->picture());
}

void TfmMain::TabSheet5Show() {
    Image4->setPicture(Image1->picture());
}

void TfmMain::btExitClick() {
    close();
}

void TfmMain::btNext1Click() {
    selectPage(Page::Connect);
    StartSearch();
}

void TfmMain::cbPortaSerChange() {
    PortChoiceChanged();
}

void TfmMain::btNext2Click() {
    if (ChoosePort())
        EnterBoot();
}

void TfmMain::btExit3Click() {
    Run.KeepRunning = false;
    selectPage(Page::Finished);
    pnProgress->hide();
    ClosePort();
}

void TfmMain::btExit5Click() {
    close();
}

void TfmMain::closeEvent(QCloseEvent* event) {
    // The wait for the power cycle and the download run as loops inside this window's events;
    // the window must outlive them.
    if (page() == Page::CyclePower || page() == Page::Download) {
        event->ignore();
        return;
    }
    event->accept();
}

// Enter presses the page's default button, Esc its cancel button. Enter never presses a merely
// focused button: a page change moves the focus to Exit, and a second Enter must not quit.
void TfmMain::keyPressEvent(QKeyEvent* event) {
    const PageButtons& buttons = pageButtons[std::size_t(pgMain->currentIndex())];
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && IsEnterKey(event->key()) && pressPageButton(buttons.defaultButton))
        return;
    if (plain && event->key() == Qt::Key_Escape && pressPageButton(buttons.cancelButton))
        return;
    QWidget::keyPressEvent(event);
}

bool TfmMain::pressPageButton(QPushButton* button) {
    if (button == nullptr || !button->isVisible() || !button->isEnabled())
        return false;
    button->click();
    return true;
}

// ---- the window as the core sees it ----

void TfmMain::log(std::string_view message) {
    const std::string text = ApplyLogRules(message, TimeStamp(localTime(), timeSeparator));
    logBytes += text;
    mmLog->append(text);
    mmLog->scrollToEnd();
}

void TfmMain::setLamp(Lamp lamp, bool lit) {
    (lamp == Lamp::TX ? ldTX : ldRX)->setLit(lit);
}

QWidget* TfmMain::control(Control which) const {
    switch (which) {
    case Control::lComSearch:
        return lComSearch;
    case Control::lFound:
        return lFound;
    case Control::lResult:
        return lResult;
    case Control::lBootVer:
        return lBootVer;
    case Control::lResappID:
        return lResappID;
    case Control::lProgress:
        return lProgress;
    case Control::pnLeds:
        return pnLeds;
    case Control::pnProgress:
        return pnProgress;
    case Control::pnWarning:
        return pnWarning;
    case Control::gbSelect:
        return gbSelect;
    case Control::btNext2:
        return btNext2;
    }
    return nullptr;
}

void TfmMain::setCaption(Control which, std::string_view text) {
    SetCaption(*control(which), text);
}

std::string TfmMain::caption(Control which) const {
    return CaptionOf(*control(which));
}

void TfmMain::setVisible(Control which, bool visible) {
    control(which)->setVisible(visible);
}

void TfmMain::setEnabled(Control which, bool enabled) {
    control(which)->setEnabled(enabled);
}

void TfmMain::setWidth(Control which, int width) {
    QWidget* target = control(which);
    target->resize(width, target->height());
}

int TfmMain::width(Control which) const {
    return control(which)->width();
}

void TfmMain::selectPage(Page page) {
    pgMain->showPage(int(page));
}

Page TfmMain::page() const {
    return Page(pgMain->currentIndex());
}

void TfmMain::stopTimer() {
    tmTimer->stop();
}

void TfmMain::fillPortList(const std::vector<PortListEntry>& ports) {
    cbPortaSer->clear();
    for (const PortListEntry& port : ports) {
        cbPortaSer->addItem(ToDisplay(port.name));
        cbPortaSer->setItemData(cbPortaSer->count() - 1, ToDisplay(port.description),
                                Qt::ToolTipRole);
    }
    cbPortaSer->setCurrentIndex(-1);
}

int TfmMain::selectedPort() const {
    return cbPortaSer->currentIndex();
}

void TfmMain::showMessage(std::string_view text, std::string_view caption) {
    QMessageBox box(QMessageBox::NoIcon, ToDisplay(caption), ToDisplay(text), QMessageBox::Ok,
                    this);
    if (onMessageShown)
        QTimer::singleShot(0, &box, [this, &box] { onMessageShown(box); });
    box.exec();
}

void TfmMain::processEvents() {
    QCoreApplication::processEvents();
}

std::chrono::milliseconds TfmMain::monotonic() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
}

LocalTime TfmMain::localTime() const {
    const QTime now = QTime::currentTime();
    return {now.hour(), now.minute(), now.second(), now.msec()};
}

void TfmMain::sleep(std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

// A wait up to the events' budget is a plain poll of the port, the cheapest way to catch the
// next byte. A longer one sleeps in the event loop rather than beside it: window events are
// handled the moment they come, and a byte on the port or the limit ends it. A handler that
// closes the port (Abort operation) ends it too.
void TfmMain::waitForInput(std::chrono::milliseconds limit) {
    const int port = InputDescriptor();
    if (limit <= EventWaitBudget || port < 0) {
        WaitForInput(int(limit.count()));
        return;
    }
    bool ended = false;
    QSocketNotifier byteWaiting(port, QSocketNotifier::Read);
    connect(&byteWaiting, &QSocketNotifier::activated, this, [&ended] { ended = true; });
    QTimer limitReached;
    limitReached.setSingleShot(true);
    limitReached.setTimerType(Qt::PreciseTimer);
    connect(&limitReached, &QTimer::timeout, this, [&ended] { ended = true; });
    limitReached.start(limit);
    while (!ended && InputDescriptor() == port)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

} // namespace ob
