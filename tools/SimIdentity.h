// Who a simulated controller is: its address, MAC and ports.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sim {

struct ControllerIdentity {
    std::size_t index = 0;
    uint32_t address = 0; // host byte order
    std::string address_text;
    std::string mac; // six raw bytes
    uint16_t tcp_port = 0;
    uint16_t udp_port = 0;
};

// The address as four bytes, first octet first.
std::string Ipv4Bytes(uint32_t address);

// `count` addresses from `first` upwards, skipping host parts ending in .0
// or .255; fails (empty result, `error` set) when the range runs out of 127/8
// or out of the address space.
std::vector<uint32_t> GenerateAddresses(uint32_t first, std::size_t count, std::string* error);

// A locally administered MAC made from the controller's index.
std::string MacForIndex(std::size_t index);

bool IsLoopback(uint32_t address);
// The network mask a simulated controller has (host order): /8 on loopback,
// /24 elsewhere, as its network record says.
uint32_t ControllerNetmask(uint32_t address);
// The directed broadcast address of the controller's network.
uint32_t SubnetBroadcast(uint32_t address);

} // namespace sim
