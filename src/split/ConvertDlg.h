#pragma once
// The split settings dialog (template 131): MP3 bit rate and sample rate,
// the start and cancel buttons, and the labels and progress bar of a run.

#include "Breakpoint.h"
#include "DialogPage.h"
#include "SkinButton.h"

#include <QString>

const ui::DialogTemplate& ConvertDlgTemplate();

class CConvertDlg : public ui::CDialogPage {
    Q_OBJECT
public:
    explicit CConvertDlg(QWidget* parent = nullptr);
    ~CConvertDlg() override;

    // Handed over by the split page before the dialog runs.
    bool m_bMp3Output = true;
    QString m_strOutputName;
    QString m_wszSourcePath;
    QString m_strOutputDir;
    BreakpointList m_breakpoints; // ascending by time

protected:
    bool OnInitDialog() override;

private:
    CSkinButton m_btnStart;
    CSkinButton m_btnCancel;
};
