# The reader of server answers needs QXmlStreamReader: Qt Core, no more.
find_package(Qt6 REQUIRED COMPONENTS Core)
quillbox_fuzzer(fuzz_multistatus fuzz_multistatus.cpp quillbox_davxml quillbox_booksync Qt6::Core)
