// A DLL that lies beside the test programs and nowhere else: found by a
// search of the program's folder, never by one of System32.
extern "C" __declspec(dllexport) int SearchProbe() { return 7; }
