#include <cstdio>

int main()
{
    std::puts("devsim: not yet");
    return 0;
}
