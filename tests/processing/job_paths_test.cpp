#include "processing/run/job_paths.h"

#include <gtest/gtest.h>

namespace pellumar {
namespace {

TEST(DeriveJobPaths, NamesBesideTheChosenFile) {
  const struct {
    std::string input, suffix, output, staging;
  } cases[] = {{"/subs/movie.srt", "_PL", "/subs/movie_PL.srt", "/subs/movie_PL_22.srt"},
               {"/subs/movie_PL.srt", "_PL", "/subs/movie_PL_PL.srt", "/subs/movie_PL_PL_22.srt"},
               {"/a/notes.text", "_PL", "/a/notes_PL.text", "/a/notes_PL_22.text"},
               {"/a/README", "_PL", "/a/README_PL", "/a/README_PL_22"},
               {"/a/.hidden", "_PL", "/a/.hidden_PL", "/a/.hidden_PL_22"},
               {"/a/.hidden.srt", "_x", "/a/.hidden_x.srt", "/a/.hidden_x_22.srt"},
               {"/dir.d/file", "_PL", "/dir.d/file_PL", "/dir.d/file_PL_22"},
               {"a.b.sub", "_PL", "a.b_PL.sub", "a.b_PL_22.sub"},
               {"x.", "_PL", "x_PL.", "x_PL_22."},
               {"m.srt", "[OPTIONS]", "m[OPTIONS].srt", "m[OPTIONS]_22.srt"}};
  for (const auto& c : cases) {
    const JobPaths paths = deriveJobPaths(c.input, c.suffix);
    EXPECT_EQ(paths.inputPath, c.input);
    EXPECT_EQ(paths.outputPath, c.output);
    EXPECT_EQ(paths.stagingPath, c.staging);
    EXPECT_EQ(paths.logPath, c.output + ".log");
  }
}

}  // namespace
}  // namespace pellumar
