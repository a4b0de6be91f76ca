#pragma once
// fmMain: the wizard's one window. It holds every control, carries the handlers of the
// pages and the tick, and is the window the core reaches through WizardView.

#include "core/wizard_view.h"

#include <QWidget>
#include <array>
#include <functional>
#include <string>

class QComboBox;
class QGroupBox;
class QLabel;
class QMessageBox;
class QPushButton;
class QTimer;

namespace ob {

class BannerImage;
class BitmapButton;
class LogMemo;
class LampShape;
class LockedTabWidget;

class TfmMain : public QWidget, public WizardView {
public:
    explicit TfmMain(QWidget* parent = nullptr);
    ~TfmMain() override;

    // WizardView
    void log(std::string_view message) override;
    void setLamp(Lamp lamp, bool lit) override;
    void setCaption(Control control, std::string_view text) override;
    std::string caption(Control control) const override;
    void setVisible(Control control, bool visible) override;
    void setEnabled(Control control, bool enabled) override;
    void setWidth(Control control, int width) override;
    int width(Control control) const override;
    void selectPage(Page page) override;
    Page page() const override;
    void stopTimer() override;
    void fillPortList(const std::vector<PortListEntry>& ports) override;
    int selectedPort() const override;
    void showMessage(std::string_view text, std::string_view caption) override;
    void processEvents() override;
    std::chrono::milliseconds monotonic() const override;
    LocalTime localTime() const override;
    void sleep(std::chrono::milliseconds duration) override;
    void waitForInput(std::chrono::milliseconds limit) override;
    using QWidget::setEnabled;
    using QWidget::setVisible;
    using QWidget::width;

    // Handlers.
    void FormShow();
    void tmTimerTimer();
    void btExitClick();
    void btNext1Click();
    void cbPortaSerChange();
    void btNext2Click();
    void btExit3Click();
    void btExit5Click();
    void TabSheet2Show();
    void TabSheet3Show();
    void TabSheet5Show();
    virtual bool loadfile(); // true: the embedded firmware is invalid
    void EnterBoot();        // waits for the power cycle, then runs the update

    // The log exactly as written: bytes, CR LF line ends.
    const std::string& logText() const { return logBytes; }
    bool timerRunning() const;
    // Called once a message box is up, so that a test can read and close it.
    std::function<void(QMessageBox&)> onMessageShown;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildWindow();
    void buildLampStrip();
    void buildPageControl();
    QWidget* buildIntroductionPage();
    QWidget* buildConnectPage();
    QWidget* buildCyclePowerPage();
    QWidget* buildDownloadPage();
    QWidget* buildFinishedPage();
    void connectHandlers();

    QWidget* control(Control which) const;
    void pageShown(int index);
    void showInvalidFirmware();
    void StepIntroductionBanner();
    void StepConnectBanner();
    bool pressPageButton(QPushButton* button);

    struct PageButtons {
        QPushButton* defaultButton = nullptr;
        QPushButton* cancelButton = nullptr;
    };
    std::array<PageButtons, 5> pageButtons{};

    bool formShown = false;
    bool inTick = false;
    char timeSeparator = ':';
    std::string logBytes;

    QTimer* tmTimer = nullptr;
    LockedTabWidget* pgMain = nullptr;

    // The lamp strip.
    QLabel* pnLeds = nullptr;
    LampShape* ldTX = nullptr;
    LampShape* ldRX = nullptr;
    QLabel* pnProgress = nullptr;
    QLabel* lProgress = nullptr;
    QLabel* pnWarning = nullptr;

    // Introduction.
    QWidget* TabSheet1 = nullptr;
    BannerImage* Image1 = nullptr;
    BitmapButton* btExit = nullptr;
    BitmapButton* btNext1 = nullptr;

    // Connect.
    QWidget* TabSheet2 = nullptr;
    BannerImage* Image2 = nullptr;
    QLabel* lComSearch = nullptr;
    QGroupBox* gbSelect = nullptr;
    QComboBox* cbPortaSer = nullptr;
    BitmapButton* btNext2 = nullptr;
    BitmapButton* btExit2 = nullptr;

    // Cycle power.
    BannerImage* Image3 = nullptr;
    QLabel* lFound = nullptr;
    BitmapButton* btExit3 = nullptr;

    // Download.
    QLabel* lBootVer = nullptr;
    QLabel* lResappID = nullptr;

    // Finished.
    BannerImage* Image4 = nullptr;
    QLabel* lResult = nullptr;
    LogMemo* mmLog = nullptr;
    BitmapButton* btExit5 = nullptr;
};

} // namespace ob
