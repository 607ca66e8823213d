#pragma once
// How every output of the program reaches the disk: a hidden temporary in
// the output's own folder is written, synced, and only then moved to its
// name, never over a file that is there by then (unless replacing was
// asked for), and the folder is synced. So the final name exists only for
// a complete file, whatever stops the program half way.
//
// The temporary's name is short (any name the file system allows for the
// output works) and says whose it is: ".tarnwick-PID-N.part". A temporary
// left by a process that was killed is reclaimed by a later run that
// writes into the same folder (ReclaimTemporaries).
//
// A numbered output ("N-name" in a folder) takes the first free number at
// the moment it is moved in: a run that finds its number taken by another
// run's piece moves on to the next, so concurrent runs each get their own.

#include <string>
#include <vector>

// How a numbered output is named: "N-name" (split pieces), or "name" itself
// first and then "stem (N).ext" from N = 2 on (named pieces of a tracks run).
enum class NumberedName { Prefix, Suffix };

class COutputFile {
public:
    COutputFile() = default;
    // A temporary not moved into place is removed.
    ~COutputFile();
    COutputFile(const COutputFile&) = delete;
    COutputFile& operator=(const COutputFile&) = delete;

    // The output is `path`; `replace`: an existing file there is replaced
    // when the output is moved in (it stays until then).
    void SetTarget(const std::string& path, bool replace);
    void SetReplace(bool replace) { m_replace = replace; }
    // The output is folder/N-name with the first N from `firstNumber` on
    // that is free when it is moved in.
    void SetNumberedTarget(const std::string& folder, const std::string& name, long long firstNumber,
                           NumberedName how = NumberedName::Prefix);

    // Creates the temporary. False with `reason`, which names the output
    // ("cannot create /x/1-a.mp3: Permission denied").
    [[nodiscard]] bool Create(std::string* reason);
    int Fd() const { return m_fd; }
    bool IsOpen() const { return m_fd >= 0; }
    const std::string& TemporaryPath() const { return m_temporary; }

    // Syncs the data, moves the file to its name and syncs the folder.
    // False with `reason` naming the output; the temporary is removed then.
    [[nodiscard]] bool Commit(std::string* reason);
    // Closes and removes the temporary (nothing when there is none).
    void Discard();

    // The output's path: the first candidate until Commit, then the name it
    // was moved to.
    const std::string& Path() const { return m_path; }
    bool Committed() const { return m_committed; }

private:
    std::string Candidate(long long number) const;

    std::string m_path;
    std::string m_folder;
    std::string m_name;        // numbered outputs: the name after "N-"
    long long m_firstNumber = -1; // -1: not numbered
    NumberedName m_how = NumberedName::Prefix;
    bool m_replace = false;
    int m_fd = -1;
    std::string m_temporary;
    bool m_committed = false;
};

// folder/N-name; with NumberedName::Suffix folder/name for N <= 1, else
// folder/stem (N).ext.
std::string NumberedOutputPath(const std::string& folder, const std::string& name, long long number,
                               NumberedName how = NumberedName::Prefix);

// Whether `name` (no folder) is one of the temporaries above; `pid`
// receives the process that wrote it.
bool IsOutputTemporaryName(const std::string& name, long* pid = nullptr);

// Removes the temporaries in `folder` whose writing process is gone (regular
// files of this user only; nothing else is touched). Returns their paths.
std::vector<std::string> ReclaimTemporaries(const std::string& folder);
