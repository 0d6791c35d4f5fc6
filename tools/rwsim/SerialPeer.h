#pragma once

#include <cstddef>
#include <cstdint>

namespace rwsim {

// What sits at the far end of the serial line: the microcontroller, listening at one speed.
class SerialPeer {
public:
    virtual ~SerialPeer() = default;
    // The speed the peer's UART runs at now; bytes at any other speed are garbage to it.
    virtual int ListenBps() const = 0;
    virtual void Receive(std::uint8_t byte) = 0;
    // Bytes of a frame begun but not finished; the UART keeps them whatever TCP does.
    virtual std::size_t UnfinishedFrameBytes() const = 0;
};

} // namespace rwsim
