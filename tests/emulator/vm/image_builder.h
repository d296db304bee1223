#ifndef KOLM_TEST_IMAGE_BUILDER_H
#define KOLM_TEST_IMAGE_BUILDER_H

// Assembles small bytecode images by hand for the emulator's tests and
// benchmarks. Operand widths come from the instruction set table.

#include "kolm_opcodes.h"

#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <vector>

class ImageBuilder {
public:
    static constexpr uint32_t kCodeStart = 36;

    // Appends one instruction; operands in encoding order, each written
    // with the width that the table's layout gives it.
    ImageBuilder &ins(uint8_t opcode, std::initializer_list<uint32_t> operands = {})
    {
        const std::string widths = layoutWidths(kolm_isa::opcodeInfo(opcode).operands);
        if (widths.size() != operands.size())
            throw std::invalid_argument("operand count does not match the instruction");
        m_code.push_back(opcode);
        size_t i = 0;
        for (uint32_t value : operands)
            put(m_code, value, widths[i++] == 'i' ? 4 : 1);
        return *this;
    }

    // Appends raw bytes (unknown opcodes, truncated instructions).
    ImageBuilder &raw(std::initializer_list<uint8_t> bytes)
    {
        m_code.insert(m_code.end(), bytes);
        return *this;
    }

    // Image offset of the next instruction.
    uint32_t here() const { return kCodeStart + uint32_t(m_code.size()); }

    ImageBuilder &entry(size_t index, uint32_t value)
    {
        m_entries[index] = value;
        return *this;
    }
    ImageBuilder &main(uint32_t v) { return entry(0, v); }
    ImageBuilder &exti(uint32_t v) { return entry(1, v); }
    ImageBuilder &msg(uint32_t v) { return entry(2, v); }
    ImageBuilder &ack(uint32_t v) { return entry(3, v); }
    ImageBuilder &bss(uint32_t v) { return entry(5, v); }

    ImageBuilder &data(const std::string &bytes)
    {
        m_data = bytes;
        m_hasData = true;
        return *this;
    }

    // Appends an extension after the data section: the tag, the length
    // (that of the body unless given) and the body.
    ImageBuilder &extension(const std::string &tag, const std::string &body, int64_t length = -1)
    {
        std::vector<uint8_t> head(tag.begin(), tag.end());
        put(head, uint32_t(length < 0 ? body.size() : length), 2);
        m_extensions.append(head.begin(), head.end()).append(body);
        return *this;
    }

    // Little-endian u32 values as bytes, for extension bodies and data.
    static std::string words(std::initializer_list<uint32_t> values)
    {
        std::vector<uint8_t> bytes;
        for (uint32_t value : values)
            put(bytes, value, 4);
        return std::string(bytes.begin(), bytes.end());
    }

    std::string build() const
    {
        std::vector<uint8_t> image = {0xFE, 0xFF, 0xA1, 0xA0, 0x05, 0x00, 0x00, 0x00, 'B', 'C'};
        put(image, uint32_t(24 + m_code.size()), 2);
        for (uint32_t value : m_entries)
            put(image, value, 4);
        image.insert(image.end(), m_code.begin(), m_code.end());
        if (m_hasData) {
            image.push_back('D');
            image.push_back('T');
            put(image, uint32_t(m_data.size()), 2);
            image.insert(image.end(), m_data.begin(), m_data.end());
        }
        image.insert(image.end(), m_extensions.begin(), m_extensions.end());
        return std::string(image.begin(), image.end());
    }

private:
    static void put(std::vector<uint8_t> &out, uint32_t value, int bytes)
    {
        for (int i = 0; i < bytes; ++i)
            out.push_back(uint8_t(value >> (8 * i)));
    }

    // 'b' a byte operand, 'i' a u32 immediate, in encoding order.
    static std::string layoutWidths(kolm_isa::Operands layout)
    {
        using kolm_isa::Operands;
        switch (layout) {
        case Operands::None: return "";
        case Operands::R:
        case Operands::D: return "b";
        case Operands::RR:
        case Operands::RD:
        case Operands::DR: return "bb";
        case Operands::I: return "i";
        case Operands::RI:
        case Operands::DI: return "bi";
        case Operands::ID: return "ib";
        case Operands::II: return "ii";
        case Operands::Table: break;
        }
        throw std::invalid_argument("no fixed operand layout");
    }

    std::vector<uint8_t> m_code;
    uint32_t m_entries[6] = {kCodeStart, 0, 0, 0, 0, 0};
    std::string m_data;
    bool m_hasData = false;
    std::string m_extensions;
};

#endif
