// bare-start: the yardstick for korvane-solve's start-up, a plain C++ program that reads a file and
// prints its size; it links what korvane-solve links (the C++ runtime) and nothing more.
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    std::ifstream file(argv[1], std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::cout << bytes.size() << '\n';
    return file ? 0 : 1;
}
