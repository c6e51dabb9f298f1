// Names of the files of one recording: the data file a path names, the
// members of a file set split by size or time, and the trend log beside
// them. Plain C++ on std::string paths (separators "/").
//
// A recording named "dir/run.bin6842" (or "dir/run.csv") is
//   dir/run.bin6842                      stored as one file
//   dir/run_0001.bin6842, run_0002 ...   stored as a set (numbers from 1,
//                                        four digits, more after 9999)
//   dir/run.trend.csv                    its measurement trend log
// A path with another suffix (or none) keeps it whole: "dir/x" gives
// "dir/x_0001" and "dir/x.trend.csv".
#ifndef FILESET_H
#define FILESET_H

#include <string>
#include <vector>

// The path without its ".bin6842" or ".csv" suffix (in any case); the path
// itself when it has neither.
std::string recordingStem(const std::string &path);
// What recordingStem cut off, with its dot; "" when nothing.
std::string recordingSuffix(const std::string &path);

// Member `number` (1, 2, ...) of the set the path names.
std::string fileSetMemberPath(const std::string &path, int number);
// The set's member number of memberPath, or 0 when it is none.
int fileSetMemberNumber(const std::string &path, const std::string &memberPath);
// The members of the set that exist now, in the order of their numbers.
std::vector<std::string> fileSetMembersPresent(const std::string &path);

// The trend log of the recording.
std::string trendLogPath(const std::string &path);

#endif
