#pragma once
// How a job puts tags into its output: the lines it has to tell about them
// (a source whose tags could not be read, an output that cannot carry
// them), and the step a file writer runs on the finished temporary. Shared
// by the split and join jobs.

#include "TagSet.h"

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// What a job tells about its tags, gathered from the threads it runs on.
class CTagNotes {
public:
    void Add(const std::string& line);
    std::vector<std::string> Lines() const;

private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_lines;
};

enum class TaggedOutput { Mp3, Wav };

// The file writer's finishing step for an output that carries `tags`: a
// WAV file gets them written in; an MP3 file already opens with them. An
// output kept after a stop in mid-stream is shorter than the tags say: its
// length is measured and its chapters and length are cut to it.
std::function<std::string(const std::string&, bool)> TagFinishStep(tags::CTagSet tags, TaggedOutput kind,
                                                                   std::shared_ptr<CTagNotes> notes);
