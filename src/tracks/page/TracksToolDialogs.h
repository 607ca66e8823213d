#pragma once
// The small dialogs of the tracks page's tools: Find silences (threshold,
// minimum length, cut in the middle or trim; Find shows the result on the
// waveform before OK takes it) and Equal parts (N parts or every hh:mm:ss,
// snapped to a silence within ±W s).

#include "TrackTime.h"

#include <QDialog>
#include <functional>

class QDoubleSpinBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

// A label's or button's text as a screen reader should say it: without the
// mnemonic's '&' and a trailing ':' or "...".
QString SpokenName(const QString& text);
// A label for `field` (its buddy), whose text also names the field.
QLabel* LabelFor(const QString& text, QWidget* field, QWidget* parent);
// A button of the tracks page: its tip, its spoken name, and never the
// default button (Enter belongs to the table and the fields).
QPushButton* MakeButton(const QString& text, const QString& tip, QWidget* parent);

class SilenceDialog : public QDialog {
    Q_OBJECT
public:
    // `find` runs the finder with the dialog's settings, shows the result on
    // the page and returns the report to show here.
    using Find = std::function<QString(double thresholdDb, double minSeconds, bool trim)>;
    SilenceDialog(double suggestedDb, Find find, QWidget* parent = nullptr);

    double ThresholdDb() const;
    double MinSeconds() const;
    bool Trim() const;
    // Whether Find has run with the current settings.
    bool Found() const { return m_found; }

private:
    void OnFind();

    Find m_find;
    QDoubleSpinBox* m_threshold = nullptr;
    QDoubleSpinBox* m_minLength = nullptr;
    QRadioButton* m_middle = nullptr;
    QRadioButton* m_trim = nullptr;
    QLabel* m_report = nullptr;
    bool m_found = false;
};

class EqualPartsDialog : public QDialog {
    Q_OBJECT
public:
    explicit EqualPartsDialog(QWidget* parent = nullptr);

    bool ByCount() const;
    int Count() const;
    // The length of a part; nullopt when the text is no time.
    std::optional<tracktime::Time> Every() const;
    double SnapSeconds() const;
    // OK: refused (with a message) while the length is no time.
    void accept() override;

private:
    QRadioButton* m_byCount = nullptr;
    QRadioButton* m_byLength = nullptr;
    QSpinBox* m_count = nullptr;
    QLineEdit* m_every = nullptr;
    QDoubleSpinBox* m_snap = nullptr;
};
