// Download speed of the engine against the curl command-line tool, in one run: the same file
// (1 GiB by default) from the same loopback server to the same destination, rounds taken in
// turns. Prints MiB/s, CPU seconds per GiB of each client, and the ratio engine / curl.
//
//   kavren_bench_download [--size-mib N] [--rounds N] [--dir DIR] [--server devservice|nginx]
//
// The server is kavren-devservice (--files), or nginx when asked for and installed (it sends
// with sendfile, so the server is never the narrower end). The clients' CPU time is their
// own: the engine's from this process (the server runs in another), curl's from its child
// accounting.
#include "applib/DownloadFile.h"

#include <QString>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <csignal>
#include <fcntl.h>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

struct Sample
{
    double seconds = 0;
    double cpuSeconds = 0;
};

double cpuOf(const rusage& usage)
{
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

pid_t spawn(const std::vector<std::string>& args, int stdoutFd = -1)
{
    std::vector<char*> argv;
    for (const auto& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (stdoutFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, stdoutFd, STDOUT_FILENO);
    pid_t pid = -1;
    const int failed = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return failed ? -1 : pid;
}

int freePort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    socklen_t length = sizeof(address);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

bool waitForPort(int port)
{
    for (int i = 0; i < 200; ++i) {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<uint16_t>(port));
        const bool up = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
        ::close(fd);
        if (up)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    return false;
}

long long fileSize(const std::string& path)
{
    struct stat info = {};
    return ::stat(path.c_str(), &info) == 0 ? static_cast<long long>(info.st_size) : -1;
}

// A file of `mib` MiB made of one random MiB repeated with a changing first word, so that
// nothing along the way can shortcut it.
bool makeSource(const std::string& path, long long mib)
{
    std::mt19937_64 random(7);
    std::vector<std::uint64_t> block(1024 * 1024 / 8);
    for (auto& word : block)
        word = random();
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out)
        return false;
    for (long long i = 0; i < mib; ++i) {
        block[0] = static_cast<std::uint64_t>(i);
        if (std::fwrite(block.data(), 8, block.size(), out) != block.size()) {
            std::fclose(out);
            return false;
        }
    }
    return std::fclose(out) == 0;
}

Sample runCurl(const std::string& url, const std::string& dest)
{
    ::unlink(dest.c_str());
    const auto start = Clock::now();
    const pid_t pid = spawn({ "curl", "-s", "-f", "-o", dest, url });
    int status = 0;
    rusage usage = {};
    if (pid <= 0 || ::wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "curl failed\n");
        std::exit(1);
    }
    return { std::chrono::duration<double>(Clock::now() - start).count(), cpuOf(usage) };
}

Sample runEngine(const std::string& url, const std::string& dest)
{
    ::unlink(dest.c_str());
    applib::AsyncDownload download;
    rusage before = {};
    rusage after = {};
    ::getrusage(RUSAGE_SELF, &before);
    const auto start = Clock::now();
    const applib::DownloadResult result = applib::DownloadFile(download, QString::fromStdString(url),
                                                               QString::fromStdString(dest), QStringLiteral("b"));
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    ::getrusage(RUSAGE_SELF, &after);
    if (result != applib::DownloadResult::Completed) {
        std::fprintf(stderr, "engine failed: result %d, error %d\n", static_cast<int>(result),
                     download.lastError.load());
        std::exit(1);
    }
    return { seconds, cpuOf(after) - cpuOf(before) };
}

// True when both files hold the same bytes.
bool sameContent(const std::string& a, const std::string& b)
{
    std::FILE* fa = std::fopen(a.c_str(), "rb");
    std::FILE* fb = std::fopen(b.c_str(), "rb");
    bool same = fa && fb;
    std::vector<char> ba(1 << 20);
    std::vector<char> bb(1 << 20);
    while (same) {
        const size_t na = std::fread(ba.data(), 1, ba.size(), fa);
        const size_t nb = std::fread(bb.data(), 1, bb.size(), fb);
        same = na == nb && std::memcmp(ba.data(), bb.data(), na) == 0;
        if (na == 0)
            break;
    }
    if (fa)
        std::fclose(fa);
    if (fb)
        std::fclose(fb);
    return same;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char** argv)
{
    long long sizeMib = 1024;
    int rounds = 3;
    std::string dir = "/tmp";
    std::string server = "devservice";
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--size-mib")
            sizeMib = std::atoll(argv[i + 1]);
        else if (option == "--rounds")
            rounds = std::atoi(argv[i + 1]);
        else if (option == "--dir")
            dir = argv[i + 1];
        else if (option == "--server")
            server = argv[i + 1];
    }
    if (sizeMib <= 0 || sizeMib >= 2048 || rounds <= 0) {
        std::fprintf(stderr, "size must be 1..2047 MiB (the engine refuses 2 GiB), rounds above 0\n");
        return 2;
    }

    char pattern[4096];
    std::snprintf(pattern, sizeof(pattern), "%s/kavren-bench-XXXXXX", dir.c_str());
    if (!::mkdtemp(pattern)) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string work = pattern;
    struct statvfs space = {};
    ::statvfs(work.c_str(), &space);
    const double freeMib = static_cast<double>(space.f_bavail) * static_cast<double>(space.f_frsize) / (1 << 20);
    if (freeMib < 2.5 * static_cast<double>(sizeMib)) {
        std::fprintf(stderr, "not enough free space in %s: %.0f MiB\n", work.c_str(), freeMib);
        ::rmdir(work.c_str());
        return 1;
    }
    const std::string files = work + "/files";
    ::mkdir(files.c_str(), 0755);
    const std::string source = files + "/payload.bin";
    const std::string dest = work + "/download.bin";
    std::printf("making a %lld MiB source file in %s\n", sizeMib, work.c_str());
    if (!makeSource(source, sizeMib))
        return 1;

    const int port = freePort();
    pid_t serverPid = -1;
    std::string label;
    if (server == "nginx") {
        const std::string conf = work + "/nginx.conf";
        std::ofstream(conf) << "daemon off;\nworker_processes 1;\npid " << work << "/nginx.pid;\n"
                            << "error_log " << work << "/nginx-error.log;\n"
                            << "events { worker_connections 64; }\n"
                            << "http { access_log off; sendfile on; tcp_nopush on;\n"
                            << "  client_body_temp_path " << work << "; proxy_temp_path " << work << ";\n"
                            << "  fastcgi_temp_path " << work << "; uwsgi_temp_path " << work << ";\n"
                            << "  scgi_temp_path " << work << ";\n"
                            << "  server { listen 127.0.0.1:" << port << "; location /files/ { alias " << files
                            << "/; } } }\n";
        serverPid = spawn({ "nginx", "-c", conf, "-p", work });
        label = "nginx (sendfile)";
    } else {
        const int devNull = ::open("/dev/null", O_WRONLY);
        serverPid
            = spawn({ KAVREN_DEVSERVICE, "--http-port", std::to_string(port), "--session-port", "0", "--files", files },
                    devNull);
        ::close(devNull);
        label = "kavren-devservice";
    }
    if (serverPid <= 0 || !waitForPort(port)) {
        std::fprintf(stderr, "the server (%s) did not start\n", server.c_str());
        return 1;
    }
    const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/files/payload.bin";

    // One warm-up of each, so the source sits in the page cache for every measured round;
    // both results are checked byte for byte once.
    runCurl(url, dest);
    const bool curlSame = sameContent(dest, source);
    runEngine(url, dest);
    const bool engineSame = sameContent(dest, source);
    if (!curlSame || !engineSame) {
        std::fprintf(stderr, "downloaded bytes differ (curl %s, engine %s)\n", curlSame ? "same" : "differs",
                     engineSame ? "same" : "differs");
        return 1;
    }
    std::vector<double> curlSeconds, engineSeconds, curlCpu, engineCpu;
    for (int round = 0; round < rounds; ++round) {
        // Turn about, so neither client always runs first.
        for (int turn = 0; turn < 2; ++turn) {
            const bool curlTurn = (round + turn) % 2 == 0;
            const Sample sample = curlTurn ? runCurl(url, dest) : runEngine(url, dest);
            if (fileSize(dest) != sizeMib * (1 << 20)) {
                std::fprintf(stderr, "%s wrote %lld bytes\n", curlTurn ? "curl" : "engine", fileSize(dest));
                return 1;
            }
            (curlTurn ? curlSeconds : engineSeconds).push_back(sample.seconds);
            (curlTurn ? curlCpu : engineCpu).push_back(sample.cpuSeconds);
            std::printf("round %d %-6s %7.3f s  %8.1f MiB/s  cpu %.3f s\n", round + 1, curlTurn ? "curl" : "engine",
                        sample.seconds, static_cast<double>(sizeMib) / sample.seconds, sample.cpuSeconds);
        }
    }

    ::kill(serverPid, SIGTERM);
    ::waitpid(serverPid, nullptr, 0);
    ::unlink(dest.c_str());
    ::unlink(source.c_str());
    ::rmdir(files.c_str());
    std::string cleanup = "rm -rf '" + work + "'";
    if (std::system(cleanup.c_str()) != 0)
        std::fprintf(stderr, "could not remove %s\n", work.c_str());

    const double gib = static_cast<double>(sizeMib) / 1024.0;
    const double curlRate = static_cast<double>(sizeMib) / median(curlSeconds);
    const double engineRate = static_cast<double>(sizeMib) / median(engineSeconds);
    std::printf("\nserver: %s on loopback, %lld MiB, %d rounds (medians)\n", label.c_str(), sizeMib, rounds);
    std::printf("curl tool : %8.1f MiB/s   cpu %.3f s/GiB\n", curlRate, median(curlCpu) / gib);
    std::printf("engine    : %8.1f MiB/s   cpu %.3f s/GiB\n", engineRate, median(engineCpu) / gib);
    std::printf("ratio engine/curl: %.3f (target at least 0.95)\n", engineRate / curlRate);
    return 0;
}
