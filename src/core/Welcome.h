#pragma once

#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include <array>
#include <functional>

namespace ringtally {

class Prompter;
class SettingsFile;
struct Settings;

/// The language window of the first run: the user picks Danish or English before the main
/// window loads. Its texts are English only. It cannot be closed except by choosing.
class Welcome : public QWidget {
    Q_OBJECT
public:
    /// loadMainWindow continues the start-up once a language is chosen.
    Welcome(SettingsFile& settings, Settings& memory, Prompter& prompter,
        std::function<void()> loadMainWindow, QWidget* parent = nullptr);

    QLabel* promptLabel;
    std::array<QPushButton*, 2> LangSel; // 0 Danish, 1 English

    /// Stores the language of button index, unloads the window and loads the main window.
    void onLanguageChosen(int index);

protected:
    /// Refuses every close while the window is visible (close box, window menu, Alt+F4).
    void closeEvent(QCloseEvent* event) override;

private:
    SettingsFile& settings_;
    Settings& memory_;
    Prompter& prompter_;
    std::function<void()> loadMainWindow_;
};

} // namespace ringtally
