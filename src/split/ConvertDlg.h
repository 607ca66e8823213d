#pragma once
// The split settings dialog (template 131): MP3 bit rate and sample rate,
// the start and cancel buttons, and the labels and progress bar of a run.

#include "DialogPage.h"
#include "SkinButton.h"

#include <QString>

const ui::DialogTemplate& ConvertDlgTemplate();

// The output name with its extension fitted to the chosen format: every
// ".wav" becomes ".mp3" for MP3 output, every ".mp3" becomes ".wav" for WAV
// output. File names keep their case, so the match ignores it.
QString FitOutputNameToFormat(const QString& name, bool mp3Output);

class CConvertDlg : public ui::CDialogPage {
    Q_OBJECT
public:
    explicit CConvertDlg(QWidget* parent = nullptr);
    ~CConvertDlg() override;

    // Handed over by the split page before the dialog runs.
    bool m_bMp3Output = true;
    QString m_strOutputName;

protected:
    bool OnInitDialog() override;

private:
    CSkinButton m_btnStart;
    CSkinButton m_btnCancel;
};
