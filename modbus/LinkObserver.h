#pragma once
// Watches the exchanges of one transaction as they happen: every frame sent, every batch of
// bytes taken in, whether a read located its reply, and input dropped unread (stray bytes
// before a request, late replies waited out). Times are the link clock's tick counts (ms).
//
// The calls come on the thread that runs the exchanges and must return at once: an observer
// copies what it needs and hands it on; it never waits on another thread.

#include <cstddef>
#include <cstdint>

namespace mp {

enum class DiscardKind {
    Stray,      // waiting input dropped before a request was sent
    LateReply,  // the reply an earlier read missed, dropped when it came in
};

class ILinkObserver {
public:
    virtual ~ILinkObserver() = default;
    // A request frame left (n bytes). `replyLength` is the length of the reply the read
    // will look for, 0 when no reply is read (writes, private frames).
    virtual void FrameSent(uint32_t time, const uint8_t* bytes, size_t n, int replyLength) = 0;
    // Bytes taken from the input after a read's wait.
    virtual void BytesTaken(uint32_t time, const uint8_t* bytes, size_t n) = 0;
    // The read's verdict: the position of its reply among the bytes taken, -1 for none.
    virtual void ReplyLocated(uint32_t time, int position) = 0;
    // Input dropped without being read as a reply.
    virtual void Discarded(uint32_t time, DiscardKind kind, size_t count) = 0;
};

}  // namespace mp
