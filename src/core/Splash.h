#pragma once

#include <QFrame>
#include <QLabel>
#include <QTimer>

namespace ringtally {

class SettingsFile;

/// The program's version as the splash window shows it.
struct ProgramVersion {
    int major = 0;
    int minor = 0;
    int revision = 0;

    /// The version this program was built as.
    static ProgramVersion current();
};

/// The splash window: the program's name and version and a blinking "please wait" line while
/// the program starts. Its texts are not localised. It unloads itself when Hideme fires.
class Splash : public QFrame {
    Q_OBJECT
public:
    static constexpr int kHeightTwips = 1890;
    static constexpr int kWidthTwips = 5400;
    static constexpr int kBlinkMs = 100;
    static constexpr int kShownMs = 1500;

    /// Loads the window (load) without showing it.
    Splash(const SettingsFile& settings, ProgramVersion version, QWidget* parent = nullptr);

    QLabel* titleLabel;
    QLabel* versionLabel;
    QLabel* Loading;
    QLabel* Author;
    QTimer blinkTimer; // blinks Loading; runs as long as the window exists
    QTimer Hideme; // disabled until the start-up routine enables it

    /// Toggles the visibility of Loading.
    void onBlink();
    /// Disables itself, hides the window and unloads it.
    void onHideTimeout();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void load(const SettingsFile& settings, ProgramVersion version);
};

} // namespace ringtally
