#pragma once
// COM numbers of the system's ttys. A number, once given, stays with its tty for the life of the
// process: a tty that comes or goes between the search and the open never hands its number to another
// device. The first listing numbers in name order, later arrivals get the next free number.
#include <map>
#include <string>
#include <vector>

namespace Platform {

struct SystemTty {
    std::string strName;    // ttyS0
    std::string strDriver;  // serial8250
};

struct NumberedTty {
    int nPort;
    SystemTty tty;
};

class CTtyNumbers {
public:
    explicit CTtyNumbers(int nLastPort) : m_nLastPort(nLastPort) {}

    // Takes the ttys present now; returns them with their numbers, in number order. A tty that would
    // need a number beyond the last one is left out.
    std::vector<NumberedTty> Update(std::vector<SystemTty> ttys);
    // The tty with this number in the last update; empty when it was not present.
    std::string NameOf(int nPort) const;

private:
    int m_nLastPort;
    int m_nNext = 1;
    std::map<std::string, int> m_numbers;  // every tty ever numbered
    std::vector<NumberedTty> m_present;
};

}  // namespace Platform
