#include "TagSet.h"

#include "TagLibText.h"

#include <taglib/attachedpictureframe.h>
#include <taglib/chapterframe.h>
#include <taglib/commentsframe.h>
#include <taglib/id3v1genres.h>
#include <taglib/id3v2tag.h>
#include <taglib/tableofcontentsframe.h>
#include <taglib/textidentificationframe.h>

#include <algorithm>
#include <cctype>
#include <set>

namespace tags {
namespace {

using TagLib::ByteVector;
using TagLib::String;
namespace ID3v2 = TagLib::ID3v2;

// ID3v2 keeps a chapter's byte offsets; unused ones hold this.
constexpr unsigned int kNoOffset = 0xFFFFFFFFu;

const char* FrameIdOf(TagField field)
{
    switch (field) {
    case TagField::Title: return "TIT2";
    case TagField::Artist: return "TPE1";
    case TagField::Album: return "TALB";
    case TagField::AlbumArtist: return "TPE2";
    case TagField::Year: return "TDRC";
    case TagField::Genre: return "TCON";
    case TagField::Track: return "TRCK";
    case TagField::Comment: return "COMM";
    }
    return "TXXX";
}

// Frames that describe the whole source's audio and are false for a
// stretch of it: the seek and timing tables (MPEG lookup, seek points, audio
// seek points, event timing, synchronised lyrics and tempo, position), the
// volume adjustment, and the length (set anew).
bool DescribesTheWholeAudio(const ByteVector& id)
{
    static const std::set<std::string> ids{"MLLT", "SEEK", "ASPI", "ETCO", "SYLT", "SYTC",
                                           "POSS", "RVA2", "RVAD", "TLEN"};
    return ids.count(std::string(id.data(), id.size())) != 0;
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix)
{
    return text.size() >= prefix.size()
           && std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
                  return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
              });
}

// Gain values measured over the source's audio (ReplayGain, MP3Gain), and
// the notes some encoders leave in comments about the same: loudness
// (iTunNORM) and the source's own delay, padding and length (iTunSMPB,
// which a player would apply to the piece and cut it wrongly).
bool MeasuresTheWholeAudio(const ID3v2::Frame& frame)
{
    if (const auto* text = dynamic_cast<const ID3v2::UserTextIdentificationFrame*>(&frame)) {
        const std::string description = Utf8(text->description());
        return StartsWithNoCase(description, "REPLAYGAIN_") || StartsWithNoCase(description, "MP3GAIN_");
    }
    if (const auto* comment = dynamic_cast<const ID3v2::CommentsFrame*>(&frame)) {
        const std::string description = Utf8(comment->description());
        return description == "iTunNORM" || description == "iTunSMPB" || description == "iTunPGAP";
    }
    return false;
}

std::string ChapterTitle(const ID3v2::ChapterFrame& chapter)
{
    const ID3v2::FrameList& titles = chapter.embeddedFrameList("TIT2");
    return titles.isEmpty() ? std::string() : Utf8(titles.front()->toString());
}

ID3v2::TextIdentificationFrame* NewTextFrame(const char* id, const std::string& value)
{
    auto* frame = new ID3v2::TextIdentificationFrame(ByteVector(id), String::UTF8);
    frame->setText(Text(value));
    return frame;
}

ID3v2::CommentsFrame* BareComment(const ID3v2::Tag& tag)
{
    for (ID3v2::Frame* frame : tag.frameList("COMM"))
        if (auto* comment = dynamic_cast<ID3v2::CommentsFrame*>(frame); comment && comment->description().isEmpty())
            return comment;
    return nullptr;
}

std::string GenreText(const ID3v2::Tag& tag)
{
    std::vector<std::string> names;
    for (ID3v2::Frame* frame : tag.frameList("TCON")) {
        const auto* text = dynamic_cast<const ID3v2::TextIdentificationFrame*>(frame);
        if (!text)
            continue;
        for (const String& field : text->fieldList()) {
            // ID3v2.4 and older taggers name a genre by its ID3v1 number.
            bool number = !field.isEmpty();
            for (wchar_t c : field)
                number = number && c >= L'0' && c <= L'9';
            const String name = number ? TagLib::ID3v1::genre(field.toInt()) : field;
            if (!name.isEmpty())
                names.push_back(Utf8(name));
        }
    }
    std::string joined;
    for (const std::string& name : names)
        joined += (joined.empty() ? "" : " / ") + name;
    return joined;
}

} // namespace

CTagSet::CTagSet() : m_tag(std::make_unique<ID3v2::Tag>()) {}

CTagSet::CTagSet(std::unique_ptr<ID3v2::Tag> frames)
    : m_tag(frames ? std::move(frames) : std::make_unique<ID3v2::Tag>())
{
}

CTagSet::~CTagSet() = default;

CTagSet::CTagSet(const CTagSet& other) : m_tag(CopyOfFrames(*other.m_tag)) {}

CTagSet& CTagSet::operator=(const CTagSet& other)
{
    if (this != &other)
        m_tag = CopyOfFrames(*other.m_tag);
    return *this;
}

CTagSet::CTagSet(CTagSet&& other) noexcept : m_tag(std::move(other.m_tag))
{
    other.m_tag = std::make_unique<ID3v2::Tag>();
}

CTagSet& CTagSet::operator=(CTagSet&& other) noexcept
{
    std::swap(m_tag, other.m_tag);
    return *this;
}

ID3v2::Tag& CTagSet::Frames()
{
    return *m_tag;
}

const ID3v2::Tag& CTagSet::Frames() const
{
    return *m_tag;
}

bool CTagSet::Empty() const
{
    return m_tag->frameList().isEmpty();
}

std::vector<std::string> CTagSet::FrameIds() const
{
    std::vector<std::string> ids;
    for (const ID3v2::Frame* frame : m_tag->frameList())
        ids.emplace_back(frame->frameID().data(), frame->frameID().size());
    return ids;
}

std::string CTagSet::Get(TagField field) const
{
    if (field == TagField::Comment) {
        const ID3v2::CommentsFrame* comment = BareComment(*m_tag);
        return comment ? Utf8(comment->text()) : std::string();
    }
    if (field == TagField::Genre)
        return GenreText(*m_tag);
    const ID3v2::FrameList& frames = m_tag->frameList(FrameIdOf(field));
    if (frames.isEmpty())
        return {};
    if (const auto* text = dynamic_cast<const ID3v2::TextIdentificationFrame*>(frames.front()))
        return Utf8(text->fieldList().toString(" / "));
    return Utf8(frames.front()->toString());
}

void CTagSet::Set(TagField field, const std::string& value)
{
    if (field == TagField::Comment) {
        while (ID3v2::CommentsFrame* comment = BareComment(*m_tag))
            m_tag->removeFrame(comment);
        if (!value.empty()) {
            auto* comment = new ID3v2::CommentsFrame(String::UTF8);
            comment->setLanguage("eng");
            comment->setText(Text(value));
            m_tag->addFrame(comment);
        }
        return;
    }
    m_tag->removeFrames(FrameIdOf(field));
    if (!value.empty())
        m_tag->addFrame(NewTextFrame(FrameIdOf(field), value));
}

void CTagSet::Apply(const TagEdits& edits)
{
    for (const TagEdit& edit : edits)
        Set(edit.field, edit.value);
}

std::vector<TagPicture> CTagSet::Pictures() const
{
    std::vector<TagPicture> pictures;
    for (const ID3v2::Frame* frame : m_tag->frameList("APIC")) {
        const auto* apic = dynamic_cast<const ID3v2::AttachedPictureFrame*>(frame);
        if (!apic || apic->picture().isEmpty())
            continue;
        const ByteVector data = apic->picture();
        pictures.push_back({Utf8(apic->mimeType()), std::string(data.data(), data.size()), Utf8(apic->description()),
                            apic->type() == ID3v2::AttachedPictureFrame::FrontCover});
    }
    return pictures;
}

std::optional<TagPicture> CTagSet::Cover() const
{
    const std::vector<TagPicture> pictures = Pictures();
    if (pictures.empty())
        return std::nullopt;
    const auto front = std::find_if(pictures.begin(), pictures.end(), [](const TagPicture& p) { return p.frontCover; });
    return front != pictures.end() ? *front : pictures.front();
}

void CTagSet::SetCover(const std::optional<TagPicture>& cover)
{
    m_tag->removeFrames("APIC");
    if (!cover || cover->data.empty())
        return;
    auto* apic = new ID3v2::AttachedPictureFrame;
    apic->setTextEncoding(String::UTF8);
    apic->setMimeType(Text(cover->mimeType));
    apic->setDescription(Text(cover->description));
    apic->setType(cover->frontCover ? ID3v2::AttachedPictureFrame::FrontCover : ID3v2::AttachedPictureFrame::Other);
    apic->setPicture(ByteVector(cover->data.data(), static_cast<unsigned int>(cover->data.size())));
    m_tag->addFrame(apic);
}

std::vector<TagChapter> CTagSet::Chapters() const
{
    std::vector<const ID3v2::ChapterFrame*> ordered;
    std::set<const ID3v2::ChapterFrame*> seen;
    // The top-level table gives the order; a table within it is followed.
    std::vector<const ID3v2::TableOfContentsFrame*> tables;
    if (const auto* top = ID3v2::TableOfContentsFrame::findTopLevel(m_tag.get()))
        tables.push_back(top);
    std::set<const ID3v2::TableOfContentsFrame*> visited;
    while (!tables.empty()) {
        const ID3v2::TableOfContentsFrame* table = tables.back();
        tables.pop_back();
        if (!visited.insert(table).second)
            continue;
        std::vector<const ID3v2::TableOfContentsFrame*> nested;
        for (const ByteVector& child : table->childElements()) {
            if (const auto* chapter = ID3v2::ChapterFrame::findByElementID(m_tag.get(), child)) {
                if (seen.insert(chapter).second)
                    ordered.push_back(chapter);
            } else if (const auto* inner = ID3v2::TableOfContentsFrame::findByElementID(m_tag.get(), child)) {
                nested.push_back(inner);
            }
        }
        tables.insert(tables.end(), nested.rbegin(), nested.rend());
    }
    std::vector<const ID3v2::ChapterFrame*> rest;
    for (const ID3v2::Frame* frame : m_tag->frameList("CHAP"))
        if (const auto* chapter = dynamic_cast<const ID3v2::ChapterFrame*>(frame); chapter && !seen.count(chapter))
            rest.push_back(chapter);
    std::stable_sort(rest.begin(), rest.end(), [](const auto* a, const auto* b) { return a->startTime() < b->startTime(); });
    ordered.insert(ordered.end(), rest.begin(), rest.end());

    std::vector<TagChapter> chapters;
    for (const ID3v2::ChapterFrame* chapter : ordered)
        chapters.push_back({chapter->startTime(), chapter->endTime(), ChapterTitle(*chapter)});
    return chapters;
}

void CTagSet::SetChapters(const std::vector<TagChapter>& chapters)
{
    m_tag->removeFrames("CTOC");
    m_tag->removeFrames("CHAP");
    if (chapters.empty())
        return;
    TagLib::ByteVectorList children;
    for (std::size_t i = 0; i < chapters.size(); ++i)
        children.append(ByteVector(("chp" + std::to_string(i)).c_str()));
    auto* table = new ID3v2::TableOfContentsFrame(ByteVector("toc"), children);
    table->setIsTopLevel(true);
    table->setIsOrdered(true);
    m_tag->addFrame(table);
    for (std::size_t i = 0; i < chapters.size(); ++i) {
        const TagChapter& c = chapters[i];
        ID3v2::FrameList embedded;
        if (!c.title.empty())
            embedded.append(NewTextFrame("TIT2", c.title));
        m_tag->addFrame(new ID3v2::ChapterFrame(children[static_cast<unsigned int>(i)],
                                                static_cast<unsigned int>(std::max<std::int64_t>(0, c.startMs)),
                                                static_cast<unsigned int>(std::max<std::int64_t>(0, c.endMs)),
                                                kNoOffset, kNoOffset, embedded));
    }
}

CTagSet CTagSet::ForStretch(std::int64_t startMs, std::int64_t endMs) const
{
    CTagSet piece(*this);
    ID3v2::Tag& tag = *piece.m_tag;
    std::set<std::string> keptChapters;
    const bool hadLength = !tag.frameList("TLEN").isEmpty();
    for (ID3v2::Frame* frame : FramesOf(tag.frameList())) {
        if (DescribesTheWholeAudio(frame->frameID()) || MeasuresTheWholeAudio(*frame)) {
            tag.removeFrame(frame);
            continue;
        }
        auto* chapter = dynamic_cast<ID3v2::ChapterFrame*>(frame);
        if (!chapter)
            continue;
        const std::int64_t from = chapter->startTime();
        const std::int64_t to = std::max<std::int64_t>(chapter->endTime(), from);
        const bool inside = to > from ? to > startMs && from < endMs : from >= startMs && from < endMs;
        if (!inside) {
            tag.removeFrame(frame);
            continue;
        }
        // On the stretch's own time line; byte offsets into the source mean nothing there.
        chapter->setStartTime(static_cast<unsigned int>(std::max(from, startMs) - startMs));
        chapter->setEndTime(static_cast<unsigned int>(std::min(to, endMs) - startMs));
        chapter->setStartOffset(kNoOffset);
        chapter->setEndOffset(kNoOffset);
        keptChapters.insert(Bytes(chapter->elementID()));
    }

    // Tables of contents list only what is left; a table left empty goes.
    // Tables within tables: repeated until nothing changes.
    for (bool changed = true; changed;) {
        changed = false;
        std::set<std::string> tables;
        for (ID3v2::Frame* frame : tag.frameList("CTOC"))
            if (const auto* table = dynamic_cast<const ID3v2::TableOfContentsFrame*>(frame))
                tables.insert(Bytes(table->elementID()));
        for (ID3v2::Frame* frame : FramesOf(tag.frameList("CTOC"))) {
            auto* table = dynamic_cast<ID3v2::TableOfContentsFrame*>(frame);
            if (!table)
                continue;
            TagLib::ByteVectorList kept;
            for (const ByteVector& child : table->childElements())
                if (keptChapters.count(Bytes(child)) || tables.count(Bytes(child)))
                    kept.append(child);
            if (kept.size() != table->childElements().size()) {
                table->setChildElements(kept);
                changed = true;
            }
            if (kept.isEmpty()) {
                tag.removeFrame(table);
                changed = true;
            }
        }
    }
    if (hadLength && endMs > startMs)
        tag.addFrame(NewTextFrame("TLEN", std::to_string(endMs - startMs)));
    return piece;
}

} // namespace tags
