// The real binary: its output and exit status whatever the command line, and its failure paths.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

enum class sink { file, dev_full, closed };

struct run_result {
    int status = -1;
    std::string out, err;
};

std::string slurp(std::FILE *f) {
    std::string text;
    std::rewind(f);
    for (int c; (c = std::fgetc(f)) != EOF;)
        text += static_cast<char>(c);
    return text;
}

// Runs the tool with stdin from /dev/null, stdout as asked and stderr captured.
run_result run_tool(std::vector<std::string> args, sink stdout_to, const char *preload = nullptr) {
    std::FILE *out = std::tmpfile(), *err = std::tmpfile();
    args.insert(args.begin(), TOOL_PATH);
    std::vector<char *> argv;
    for (std::string &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(open("/dev/null", O_RDONLY), 0);
        if (stdout_to == sink::closed)
            close(1);
        else
            dup2(stdout_to == sink::file ? fileno(out) : open("/dev/full", O_WRONLY), 1);
        dup2(fileno(err), 2);
        if (preload != nullptr) {
            setenv("LD_PRELOAD", preload, 1);
            setenv("ASAN_OPTIONS", "verify_asan_link_order=0", 1);
        }
        execv(TOOL_PATH, argv.data());
        _exit(127);
    }
    run_result r;
    waitpid(pid, &r.status, 0);
    r.status = WIFEXITED(r.status) ? WEXITSTATUS(r.status) : -1;
    r.out = slurp(out);
    r.err = slurp(err);
    std::fclose(out);
    std::fclose(err);
    return r;
}

TEST(Tool, ArgumentsChangeNothing) {
    std::ifstream golden(GOLDEN_HEADER, std::ios::binary);
    std::stringstream expected;
    expected << golden.rdbuf();
    for (const auto &args : std::vector<std::vector<std::string>>{{}, {"--help"}, {"-", "x y", ""}}) {
        const run_result r = run_tool(args, sink::file);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, expected.str());
        EXPECT_EQ(r.err, "");
    }
}

TEST(Tool, ExhaustedHeapIsOutOfMemoryWithNothingWritten) {
#ifdef TOOL_HAS_OWN_ALLOCATOR
    GTEST_SKIP() << "the tool's statically linked sanitizer allocator cannot be replaced";
#endif
    const run_result r = run_tool({}, sink::file, HEAP_EXHAUSTED_PATH);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "out of memory");
}

TEST(Tool, FailedWritesAreReportedAsFailure) {
    const run_result full = run_tool({}, sink::dev_full);
    EXPECT_EQ(full.status, 1);
    EXPECT_EQ(full.err, "write error: No space left on device\n");
    const run_result closed = run_tool({}, sink::closed);
    EXPECT_EQ(closed.status, 1);
    EXPECT_EQ(closed.err, "write error: Bad file descriptor\n");
}

}  // namespace
