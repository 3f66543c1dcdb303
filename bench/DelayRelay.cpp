// Relays an SSH connection between standard input and output and a TCP port on 127.0.0.1,
// holding every chunk for a fixed delay each way, as a network with that round trip would.
// Chunks are timed from their arrival, so the relay adds latency, never a limit on throughput.
//   rinvo_delay_relay PORT MICROSECONDS     (an ssh ProxyCommand)

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// One direction: a reader queues what arrives with its due time; a writer sends it when due.
class DelayLine
{
public:
    DelayLine(int from, int to, std::chrono::microseconds delay)
        : m_from(from)
        , m_to(to)
        , m_delay(delay)
    { }

    void read()
    {
        std::vector<char> buffer(256 * 1024);
        for (;;) {
            const ssize_t got = ::read(m_from, buffer.data(), buffer.size());
            std::lock_guard lock(m_mutex);
            if (got <= 0) {
                m_ended = true;
                m_changed.notify_one();
                return;
            }
            m_chunks.push_back({ Clock::now() + m_delay, std::string(buffer.data(), got) });
            m_changed.notify_one();
        }
    }

    void write()
    {
        for (;;) {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [this] { return m_ended || !m_chunks.empty(); });
            if (m_chunks.empty()) {
                ::shutdown(m_to, SHUT_WR);
                ::close(m_to);
                return;
            }
            Chunk chunk = std::move(m_chunks.front());
            m_chunks.pop_front();
            lock.unlock();
            std::this_thread::sleep_until(chunk.due);
            for (std::size_t sent = 0; sent < chunk.data.size();) {
                const ssize_t put
                    = ::write(m_to, chunk.data.data() + sent, chunk.data.size() - sent);
                if (put <= 0)
                    std::_Exit(0);
                sent += static_cast<std::size_t>(put);
            }
        }
    }

private:
    struct Chunk
    {
        Clock::time_point due;
        std::string data;
    };

    int m_from;
    int m_to;
    std::chrono::microseconds m_delay;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Chunk> m_chunks;
    bool m_ended = false;
};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s PORT MICROSECONDS\n", argv[0]);
        return 2;
    }
    const int server = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(std::atoi(argv[1])));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (server < 0
        || ::connect(server, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        std::perror("rinvo_delay_relay");
        return 1;
    }
    const int on = 1;
    ::setsockopt(server, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    const std::chrono::microseconds delay(std::atol(argv[2]));
    const int serverForWriting = ::dup(server);
    DelayLine up(STDIN_FILENO, serverForWriting, delay);
    DelayLine down(server, STDOUT_FILENO, delay);
    std::thread upReader([&] { up.read(); });
    std::thread upWriter([&] { up.write(); });
    std::thread downReader([&] { down.read(); });
    down.write();
    // The server has closed the connection: nothing more can come back.
    std::_Exit(0);
}
