#include "OutputTagging.h"

#include "SourceMeasure.h"
#include "TagFiles.h"

void CTagNotes::Add(const std::string& line)
{
    std::lock_guard lock(m_mutex);
    for (const std::string& told : m_lines)
        if (told == line)
            return;
    m_lines.push_back(line);
}

std::vector<std::string> CTagNotes::Lines() const
{
    std::lock_guard lock(m_mutex);
    return m_lines;
}

std::function<std::string(const std::string&, bool)> TagFinishStep(tags::CTagSet tags, TaggedOutput kind,
                                                                   std::shared_ptr<CTagNotes> notes)
{
    return [tags = std::move(tags), kind, notes](const std::string& path, bool cutShort) -> std::string {
        if (tags.Empty())
            return {};
        tags::CTagSet written = tags;
        if (cutShort) {
            const SourceMeasure kept = MeasureSource(path);
            written = tags.ForStretch(0, TimeToMs(kept.duration));
        }
        if (kind == TaggedOutput::Mp3)
            return cutShort ? tags::RewriteMp3Tag(path, written) : std::string();
        std::string skipped;
        std::string failed = tags::WriteWavTags(path, written, &skipped);
        if (!skipped.empty() && notes)
            notes->Add(skipped);
        return failed;
    };
}
