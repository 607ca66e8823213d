#pragma once
// The merged file's tags on the encoder's settings page: title, artist,
// album, year and genre as the first file gives them, to be edited; the
// cover (the first file's, another file's, a picture file, or none) with a
// small view of it; and whether each file becomes a chapter. What the
// person leaves as the files give it follows the list when it changes.

#include "JoinJob.h"

#include <QGroupBox>
#include <array>
#include <iterator>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

class CMergeTagsBox : public QGroupBox {
    Q_OBJECT
public:
    // `inputs`: the files to join, in order; `choices`: as set before.
    CMergeTagsBox(const std::vector<std::string>& inputs, const tags::MergeTagChoices& choices,
                  QWidget* parent = nullptr);

    // The fields changed from what the files give, the cover, the chapters.
    tags::MergeTagChoices Choices() const;

private:
    void AddCoverChoice(const QString& text, const tags::CoverChoice& choice);
    void SelectCover(const tags::CoverChoice& choice);
    void OnChooseCoverFile();
    // Shows the chosen cover; says so when it cannot be had.
    void ShowCover();

    static constexpr tags::TagField kFields[] = {tags::TagField::Title, tags::TagField::Artist, tags::TagField::Album,
                                                 tags::TagField::Year, tags::TagField::Genre};
    MergeTagPreview m_preview;
    std::array<QLineEdit*, std::size(kFields)> m_fields{};
    std::array<std::string, std::size(kFields)> m_given; // what the files give each field
    QComboBox* m_cover = nullptr;
    std::vector<tags::CoverChoice> m_coverChoices; // one per item of m_cover
    QLabel* m_picture = nullptr;
    QCheckBox* m_chapters = nullptr;
};
