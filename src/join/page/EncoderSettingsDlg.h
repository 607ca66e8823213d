#pragma once
// The MP3 encoder's own settings page: bit rate, output sample rate, channel
// mode and algorithm quality of one "Lame" filter instance. OK writes them
// into the filter, so they hold for every later run that uses it. Opened
// for a join's list of files, it also shows the merged file's tags
// (CMergeTagsBox), which OK hands back through TagChoices().

#include "TagFields.h"

#include <QDialog>
#include <memory>
#include <string>
#include <vector>

class CBaseFilter;
class CMergeTagsBox;
class IAudioEncoderProperties;
class QComboBox;
class QLabel;

class CEncoderSettingsDlg : public QDialog {
    Q_OBJECT
public:
    // `encoder` must offer IAudioEncoderProperties; the caption is its name.
    CEncoderSettingsDlg(std::shared_ptr<CBaseFilter> encoder, QWidget* parent = nullptr);
    // With the tags of the merged file of `inputs`, `tagChoices` as set before.
    CEncoderSettingsDlg(std::shared_ptr<CBaseFilter> encoder, const std::vector<std::string>& inputs,
                        const tags::MergeTagChoices& tagChoices, QWidget* parent = nullptr);

    // The merged file's tags as the page shows them (the ones it was given
    // when it shows none).
    tags::MergeTagChoices TagChoices() const;

    void accept() override;

    // What will really be written for `kbps` at `hz` when MPEG audio has no
    // place for the pair (320 kbps at 22.05 kHz); empty when it has.
    static QString BitRateNote(int kbps, int hz);

private:
    void UpdateNote();

    std::shared_ptr<CBaseFilter> m_encoder;
    IAudioEncoderProperties* m_properties;
    QComboBox* m_bitRate;
    QComboBox* m_sampleRate;
    QComboBox* m_channelMode;
    QComboBox* m_quality;
    QLabel* m_note;
    CMergeTagsBox* m_tags = nullptr;
    tags::MergeTagChoices m_tagChoices;
};
