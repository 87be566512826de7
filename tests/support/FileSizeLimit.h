#pragma once
// A disk that fills up, for as long as the object lives: the process may not make a file longer
// than `bytes`, so a write past it is cut short (the part up to the limit is written) and the
// next fails, as on a full disk. Without the signal the system sends then.

#include <sys/resource.h>

#include <csignal>

namespace mp::test {

class CFileSizeLimit {
public:
    explicit CFileSizeLimit(rlim_t bytes) {
        Signal_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &Old_);
        rlimit limited = Old_;
        limited.rlim_cur = bytes;
        Active_ = setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~CFileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &Old_);
        std::signal(SIGXFSZ, Signal_);
    }
    CFileSizeLimit(const CFileSizeLimit&) = delete;
    CFileSizeLimit& operator=(const CFileSizeLimit&) = delete;

    bool Active() const { return Active_; }

private:
    rlimit Old_{};
    void (*Signal_)(int) = nullptr;
    bool Active_ = false;
};

}  // namespace mp::test
