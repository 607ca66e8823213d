#include "MergeTagsBox.h"

#include "FileDialogs.h"
#include "FileNames.h"
#include "MessageBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kPictureSide = 64;
constexpr const char* kPictureFilter = "Pictures (*.jpg;*.jpeg;*.png)|*.jpg;*.jpeg;*.png|";

QString FileNameOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    return ui::FileNameFromBytes(slash == std::string::npos ? path : path.substr(slash + 1));
}

} // namespace

CMergeTagsBox::CMergeTagsBox(const std::vector<std::string>& inputs, const tags::MergeTagChoices& choices,
                             QWidget* parent)
    : QGroupBox(tr("Tags of the merged file"), parent), m_preview(PreviewMergeTags(inputs))
{
    setObjectName(QStringLiteral("mergeTags"));
    auto* form = new QFormLayout;
    const QString labels[] = {tr("Title:"), tr("Artist:"), tr("Album:"), tr("Year:"), tr("Genre:")};
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        const tags::TagField field = kFields[i];
        for (const auto& [given, value] : m_preview.fields)
            if (given == field)
                m_given[i] = value;
        std::string shown = m_given[i];
        for (const tags::TagEdit& edit : choices.edits)
            if (edit.field == field)
                shown = edit.value;
        auto* edit = new QLineEdit(QString::fromStdString(shown));
        edit->setObjectName(QString::fromLatin1(tags::TagFieldName(field)));
        edit->setAccessibleName(labels[i]);
        form->addRow(labels[i], edit);
        m_fields[i] = edit;
    }
    // Left empty, the title is the merged file's name.
    m_fields[0]->setPlaceholderText(tr("The merged file's name"));

    m_cover = new QComboBox;
    m_cover->setObjectName(QStringLiteral("cover"));
    m_cover->setAccessibleName(tr("Cover:"));
    AddCoverChoice(m_preview.cover ? tr("The first file's picture") : tr("The first file's picture (it has none)"),
                   {tags::CoverChoice::From::FirstInput, {}});
    for (const std::string& input : m_preview.inputsWithPictures)
        if (inputs.empty() || input != inputs.front())
            AddCoverChoice(tr("The picture of %1").arg(FileNameOf(input)), {tags::CoverChoice::From::Input, input});
    if (choices.cover.from == tags::CoverChoice::From::PictureFile)
        AddCoverChoice(tr("Picture file %1").arg(FileNameOf(choices.cover.path)), choices.cover);
    AddCoverChoice(tr("No picture"), {tags::CoverChoice::From::None, {}});
    auto* choose = new QPushButton(tr("Choose a picture file..."));
    choose->setObjectName(QStringLiteral("chooseCover"));
    choose->setAccessibleName(tr("Choose a picture file for the cover"));
    m_picture = new QLabel;
    m_picture->setObjectName(QStringLiteral("coverPicture"));
    m_picture->setAccessibleName(tr("Cover picture"));
    m_picture->setFixedSize(kPictureSide, kPictureSide);
    m_picture->setAlignment(Qt::AlignCenter);
    m_picture->setFrameShape(QFrame::StyledPanel);
    auto* coverRow = new QHBoxLayout;
    auto* coverColumn = new QVBoxLayout;
    coverColumn->addWidget(m_cover);
    coverColumn->addWidget(choose);
    coverColumn->addStretch();
    coverRow->addLayout(coverColumn, 1);
    coverRow->addWidget(m_picture);
    form->addRow(tr("Cover:"), coverRow);
    if (auto* label = qobject_cast<QLabel*>(form->labelForField(coverRow)))
        label->setBuddy(m_cover);

    m_chapters = new QCheckBox(tr("Chapter marks for each file"));
    m_chapters->setObjectName(QStringLiteral("chapters"));
    m_chapters->setAccessibleName(m_chapters->text());
    m_chapters->setChecked(choices.chapters);
    form->addRow(m_chapters);

    auto* problems = new QLabel(QString::fromStdString([&] {
        std::string text;
        for (const std::string& line : m_preview.problems)
            text += (text.empty() ? "" : "\n") + line + ".";
        return text;
    }()));
    problems->setObjectName(QStringLiteral("tagProblems"));
    problems->setWordWrap(true);
    problems->setVisible(!m_preview.problems.empty());
    form->addRow(problems);
    setLayout(form);

    SelectCover(choices.cover);
    connect(m_cover, &QComboBox::currentIndexChanged, this, &CMergeTagsBox::ShowCover);
    connect(choose, &QPushButton::clicked, this, &CMergeTagsBox::OnChooseCoverFile);
    ShowCover();
}

void CMergeTagsBox::AddCoverChoice(const QString& text, const tags::CoverChoice& choice)
{
    // Before "No picture", which stays last.
    const bool none = !m_coverChoices.empty() && m_coverChoices.back().from == tags::CoverChoice::From::None;
    const int at = none ? m_cover->count() - 1 : m_cover->count();
    m_cover->insertItem(at, text);
    m_coverChoices.insert(m_coverChoices.begin() + at, choice);
}

void CMergeTagsBox::SelectCover(const tags::CoverChoice& choice)
{
    const auto it = std::find(m_coverChoices.begin(), m_coverChoices.end(), choice);
    m_cover->setCurrentIndex(it == m_coverChoices.end() ? 0 : int(it - m_coverChoices.begin()));
}

void CMergeTagsBox::OnChooseCoverFile()
{
    const std::optional<QString> path = ui::GetOpenFileName(this, QString::fromLatin1(kPictureFilter));
    if (!path)
        return;
    const tags::CoverChoice choice{tags::CoverChoice::From::PictureFile, ui::FileNameBytes(*path)};
    std::optional<tags::TagPicture> picture;
    std::string reason;
    if (!ReadCoverChoice(choice, &picture, &reason)) {
        ui::MessageBox(this, ui::FileNameFromBytes(reason), QString(), ui::MessageIcon::Warning);
        return;
    }
    if (std::find(m_coverChoices.begin(), m_coverChoices.end(), choice) == m_coverChoices.end())
        AddCoverChoice(tr("Picture file %1").arg(FileNameOf(choice.path)), choice);
    SelectCover(choice);
}

void CMergeTagsBox::ShowCover()
{
    const tags::CoverChoice& choice = m_coverChoices[std::size_t(std::max(0, m_cover->currentIndex()))];
    std::optional<tags::TagPicture> picture =
        choice.from == tags::CoverChoice::From::FirstInput ? m_preview.cover : std::nullopt;
    std::string reason;
    if (choice.from != tags::CoverChoice::From::FirstInput && !ReadCoverChoice(choice, &picture, &reason)) {
        m_picture->setText(tr("Missing"));
        m_picture->setToolTip(ui::FileNameFromBytes(reason));
        return;
    }
    m_picture->setToolTip(QString());
    QPixmap pixmap;
    if (picture && pixmap.loadFromData(reinterpret_cast<const uchar*>(picture->data.data()), uint(picture->data.size())))
        m_picture->setPixmap(pixmap.scaled(kPictureSide, kPictureSide, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    else
        m_picture->setText(picture ? tr("Picture") : tr("None"));
}

tags::MergeTagChoices CMergeTagsBox::Choices() const
{
    tags::MergeTagChoices choices;
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        const std::string value = m_fields[i]->text().trimmed().toStdString();
        if (value != m_given[i])
            choices.edits.push_back({kFields[i], value});
    }
    choices.cover = m_coverChoices[std::size_t(std::max(0, m_cover->currentIndex()))];
    choices.chapters = m_chapters->isChecked();
    return choices;
}
