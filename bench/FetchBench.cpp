// A lean verifying HTTP client for benchmarks, so the clients cost as little CPU as possible.
// Usage: fetch-bench PORT PATH FILE CLIENTS
// Runs CLIENTS concurrent GETs of PATH on 127.0.0.1:PORT, each checking that the body is FILE
// byte for byte. Prints the wall seconds; exits 1 if any download is wrong.
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <string>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

bool fetchOnce(int port, const std::string& path, const char* expected, std::size_t expectedSize)
{
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return false;
    }
    std::string request = "GET " + path + " HTTP/1.1\r\nHost: bench\r\nConnection: close\r\n\r\n";
    if (::send(fd, request.data(), request.size(), MSG_NOSIGNAL)
        != static_cast<ssize_t>(request.size())) {
        ::close(fd);
        return false;
    }
    std::vector<char> buffer(1 << 20);
    std::string header;
    bool inBody = false;
    std::size_t bodyBytes = 0;
    bool same = true;
    while (true) {
        ssize_t got = ::recv(fd, buffer.data(), buffer.size(), 0);
        if (got <= 0) {
            ::close(fd);
            return got == 0 && inBody && same && bodyBytes == expectedSize;
        }
        const char* data = buffer.data();
        std::size_t size = static_cast<std::size_t>(got);
        if (!inBody) {
            header.append(data, size);
            auto end = header.find("\r\n\r\n");
            if (end == std::string::npos)
                continue;
            inBody = true;
            std::size_t bodyStart = end + 4;
            std::string first = header.substr(bodyStart);
            if (first.size() > expectedSize
                || std::memcmp(first.data(), expected, first.size()) != 0)
                same = false;
            bodyBytes = first.size();
            continue;
        }
        if (bodyBytes + size > expectedSize || std::memcmp(data, expected + bodyBytes, size) != 0)
            same = false;
        bodyBytes += size;
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: fetch-bench PORT PATH FILE CLIENTS\n");
        return 2;
    }
    int port = std::atoi(argv[1]);
    std::string path = argv[2];
    int clients = std::atoi(argv[4]);
    int fd = ::open(argv[3], O_RDONLY);
    struct stat info { };
    ::fstat(fd, &info);
    auto size = static_cast<std::size_t>(info.st_size);
    const char* expected = "";
    if (size > 0)
        expected = static_cast<const char*>(
            ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0));

    std::atomic<int> failures = 0;
    auto start = std::chrono::steady_clock::now();
    std::vector<std::thread> threads;
    for (int i = 0; i < clients; ++i)
        threads.emplace_back([&] {
            if (!fetchOnce(port, path, expected, size))
                ++failures;
        });
    for (auto& thread : threads)
        thread.join();
    double seconds
        = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%.3f\n", seconds);
    if (failures > 0) {
        std::fprintf(
            stderr, "fetch-bench: %d of %d downloads were wrong\n", failures.load(), clients);
        return 1;
    }
    return 0;
}
