// Bringing in the texts a reader downloads from their publishers, as the main window's "Import
// texts..." does: Tanzil's Quran texts and translations, the Quranic Arabic Corpus's files, hadith
// collections as JSON and a reciter's folder of recordings, each told by its name and contents,
// every one checked before anything is written.
#pragma once

#include "import/import.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace velmora::import {

// What the reader chose: files, and a folder of per-verse recordings with its reciter's name (told
// in the report; "" for the unnamed set).
struct TextInputs
{
    std::vector<std::filesystem::path> files;
    std::filesystem::path recordings;
    std::string reciter;
};

// Where each of the files goes, and what the reader is told of them.
struct TextPlan
{
    std::vector<OutputFile> dataFiles;        // the data folder's own files
    std::vector<OutputFile> translationFiles; // its translations folder, kept as published
    std::vector<OutputFile> recordingFiles;   // the recordings' folder: the data folder or the reciter's
    std::vector<std::string> taken; // a line per input: "en.sahih.txt: English, Saheeh International"
    std::string input;              // the input at fault, as named
    std::string error;              // why it was refused; "" when every input is taken
};

// Makes the pauses a.mp3 and b.mp3 that a recordings folder needs; nullopt when it cannot.
using PauseMaker = std::function<std::optional<std::string>(int seconds)>;
// The pauses a.mp3 (a second) and b.mp3 (three) that a recitation goes with; nullopt when one of
// them cannot be made.
std::optional<std::vector<OutputFile>> pauseFiles(const PauseMaker &makePause);

// Reads and checks every input. A Tanzil translation of Pickthall, Yusuf Ali, Shakir or the
// transliteration becomes that file of the program's layout (PIKTHL.TXT, ...); any other is kept
// as published in the translations folder. The Uthmani and Simple Clean Quran texts and the
// corpus's three files are kept as published, under the names the program reads; a hadith
// collection of Bukhari, Muslim, Abu Dawud or Malik (named so, in its file name or its title) is
// written as that collection's file.
TextPlan planTexts(const TextInputs &inputs, const PauseMaker &makePause);

// Writes a plan into the data folder and the recordings' folder (made when needed), each of the
// three folders all or none, in the order data files, recordings, translations; "" on success, else
// what went wrong and what had been written before.
std::string writeTexts(const std::filesystem::path &dataFolder, const std::filesystem::path &recordings,
                       const TextPlan &plan);

// A text the program reads, as the reader is told of it when it is missing.
struct PublishedText
{
    std::vector<std::string> files; // the program's names for it
    std::string what;               // "The Quran in Arabic"
    std::string where;              // where its publisher gives it, and which download to take
};
// Every text the program reads, with where each is published.
const std::vector<PublishedText> &publishedTexts();

// The seconds of silence as an MP3 file, encoded by lame through pipes, with no shell and no file
// between; nullopt when lame cannot make it.
std::optional<std::string> silenceMp3(int seconds);

} // namespace velmora::import
