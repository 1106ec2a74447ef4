#pragma once

#include <QDialog>

namespace ringtally {

class StringTable;

/// The about box: the program's name, its version and a few words of thanks. Not modal.
class About : public QDialog {
    Q_OBJECT

public:
    About(const StringTable& strings, bool english, QWidget* parent = nullptr);
};

} // namespace ringtally
