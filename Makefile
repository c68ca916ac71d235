# Entry points for people who would rather not drive CMake by hand.

.PHONY: demo test build clean

demo:
	bash scripts/demo.sh

test:
	bash scripts/test.sh

build:
	bash scripts/install-deps.sh
	cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build build/release -j$$(nproc)

clean:
	rm -rf build
