// The journal of an update's moves as it is written on the disk, and as an
// earlier version of the updater wrote it.
//
// The journal ("journal.txt" in the run's folder) is UTF-8, one record a
// line: the CRC-32 of the record's text in 8 hex digits, a space, the text,
// "\n". The text's fields are separated by tabs:
//     Q 1                                   the journal begins
//     D folder                              a folder is about to be made
//     M target copy source readonly identity
//                                           a file is about to be moved
//     F step identity                       the move of step `step` is made
//     B step                                step `step` is taken back
//     K                                     the moves are final
// Paths are relative to the program folder; `copy` is the name of the copy
// of what the target held, in the run's folder ("" for a new file);
// `readonly` is the target's read-only mark before the move (0 or 1);
// `identity` is a file's identity (size, last write, change time, volume,
// id) in hex numbers separated by commas: the source's before the move in
// M, the target's as the move left it in F. Steps are the D and M records,
// counted from 0.
//
// The earlier form ("journal", UTF-16, absolute paths): "D folder",
// "M target copy [source]" before a move, "F" after it, "K" at the commit.
#pragma once

#include "updater/FileSystem.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quill::updater {

std::uint32_t Crc32(std::string_view bytes);

// Whether a path names a place strictly below a folder it is relative to:
// parts joined by "\", none empty, "." or "..", no drive, no root, no zero
// or control character.
bool IsRelativeBelow(std::wstring_view path);
// `path` as relative to `folder` when it lies strictly below it (letter
// case aside; "/" counts as "\"), else nothing.
std::optional<std::wstring> RelativeTo(std::wstring_view path, std::wstring_view folder);

struct JournalStep {
    enum class Kind { Folder, Move } kind = Kind::Move;
    std::wstring target;  // relative to the program folder; "" for an earlier path outside it
    std::wstring copy;    // the copy's name in the run folder; "" for none
    std::optional<std::wstring> source;  // relative; unknown in some earlier journals
    bool readOnly = false;
    std::optional<FileIdentity> sourceIdentity;  // the source's before the move
    std::optional<FileIdentity> placed;          // the target's as the move left it
    bool ended = false;                          // the move is recorded as made
    bool takenBack = false;
};

struct ReadJournal {
    // Every record read, a last one cut short aside (what a crash leaves).
    bool whole = false;
    bool earlierForm = false;
    bool committed = false;
    std::vector<JournalStep> steps;
    // Where the last record read ends: records are appended from there.
    std::uint64_t end = 0;
    // The records that could not be used, and why.
    std::vector<std::string> problems;
};

std::string JournalBegins();
std::string FolderRecord(const std::wstring& folder);
std::string MoveRecord(const JournalStep& move);
std::string MadeRecord(std::size_t step, const FileIdentity& placed);
std::string TakenBackRecord(std::size_t step);
std::string CommitRecord();

ReadJournal ReadRecords(std::string_view bytes);
// The earlier form; paths outside `programFolder` stay empty.
ReadJournal ReadEarlierRecords(std::string_view bytes, std::wstring_view programFolder);

}  // namespace quill::updater
