# Writes a Qt-free C++ table of a Qt Linguist catalogue, so that programs without Qt (the
# command-line client, the window before its toolkit starts) translate from the same .ts file.
# Runs with the build host's cmake (cmake -P), so it works in a cross build too:
#
#     cmake -DTS_FILE=translations/tavolex_en.ts -DOUTPUT=Catalogue.cpp -P CatalogueTable.cmake
#
# The output defines tavolex::kCatalogue and tavolex::kCatalogueSize (see CatalogueTranslator.h).
# Messages without a finished translation are left out, so their source text is shown.
cmake_minimum_required(VERSION 3.25)

if(NOT TS_FILE OR NOT OUTPUT)
    message(FATAL_ERROR "CatalogueTable.cmake needs -DTS_FILE=... and -DOUTPUT=...")
endif()

# The text between <tag...> and </tag> in `xml`, or empty; sets `found` to false when absent.
function(element_text xml tag result found)
    string(REGEX MATCH "<${tag}( [^>]*)?>" opening "${xml}")
    string(FIND "${xml}" "</${tag}>" end)
    if(NOT opening OR end EQUAL -1)
        set(${result} "" PARENT_SCOPE)
        set(${found} FALSE PARENT_SCOPE)
        return()
    endif()
    string(FIND "${xml}" "${opening}" start)
    string(LENGTH "${opening}" opening_length)
    math(EXPR start "${start} + ${opening_length}")
    math(EXPR length "${end} - ${start}")
    string(SUBSTRING "${xml}" ${start} ${length} text)
    set(${result} "${text}" PARENT_SCOPE)
    set(${found} TRUE PARENT_SCOPE)
endfunction()

# XML text as the pieces of a C++ string: raw literals for the text, and an escape for each
# character reference (&#x2026; or &#8230;), whose character the compiler encodes in UTF-8.
function(cpp_literal text result)
    string(REPLACE "&lt;" "<" text "${text}")
    string(REPLACE "&gt;" ">" text "${text}")
    string(REPLACE "&quot;" "\"" text "${text}")
    string(REPLACE "&apos;" "'" text "${text}")
    set(literal "")
    while(TRUE)
        string(REGEX MATCH "&#(x[0-9A-Fa-f]+|[0-9]+);" reference "${text}")
        if(NOT reference)
            break()
        endif()
        string(FIND "${text}" "${reference}" at)
        string(SUBSTRING "${text}" 0 ${at} before)
        string(REPLACE "&amp;" "&" before "${before}")
        string(LENGTH "${reference}" reference_length)
        math(EXPR after "${at} + ${reference_length}")
        string(SUBSTRING "${text}" ${after} -1 text)
        string(REGEX REPLACE "&#x?([0-9A-Fa-f]+);" "\\1" digits "${reference}")
        if(reference MATCHES "^&#x")
            math(EXPR code "0x${digits}")
        else()
            set(code "${digits}")
        endif()
        # Universal character names may not name the basic characters and controls below 0xA0.
        if(code LESS 160)
            math(EXPR hex "${code}" OUTPUT_FORMAT HEXADECIMAL)
            string(REPLACE "0x" "" hex "${hex}")
            set(escape "\"\\x${hex}\"")
        else()
            math(EXPR hex "${code}" OUTPUT_FORMAT HEXADECIMAL)
            string(REPLACE "0x" "" hex "${hex}")
            string(LENGTH "${hex}" hex_length)
            math(EXPR padding "8 - ${hex_length}")
            string(REPEAT "0" ${padding} zeros)
            set(escape "\"\\U${zeros}${hex}\"")
        endif()
        string(APPEND literal "R\"tvx(${before})tvx\" ${escape} ")
    endwhile()
    string(REPLACE "&amp;" "&" text "${text}")
    string(APPEND literal "R\"tvx(${text})tvx\"")
    set(${result} "${literal}" PARENT_SCOPE)
endfunction()

file(READ "${TS_FILE}" ts)
set(entries "")
set(count 0)
string(FIND "${ts}" "<context>" at)
while(NOT at EQUAL -1)
    string(SUBSTRING "${ts}" ${at} -1 ts)
    string(FIND "${ts}" "</context>" end)
    string(SUBSTRING "${ts}" 0 ${end} context_xml)
    element_text("${context_xml}" name context has_name)
    cpp_literal("${context}" context_literal)
    string(FIND "${context_xml}" "<message" message_at)
    while(NOT message_at EQUAL -1)
        string(SUBSTRING "${context_xml}" ${message_at} -1 context_xml)
        string(FIND "${context_xml}" "</message>" message_end)
        string(SUBSTRING "${context_xml}" 0 ${message_end} message_xml)
        element_text("${message_xml}" source source has_source)
        element_text("${message_xml}" translation translation has_translation)
        string(REGEX MATCH "<translation [^>]*type=" unfinished "${message_xml}")
        if(has_source AND has_translation AND NOT unfinished AND NOT translation STREQUAL "")
            cpp_literal("${source}" source_literal)
            cpp_literal("${translation}" translation_literal)
            string(APPEND entries
                   "    {${context_literal},\n     ${source_literal},\n     ${translation_literal}},\n")
            math(EXPR count "${count} + 1")
        endif()
        string(SUBSTRING "${context_xml}" 1 -1 context_xml)
        string(FIND "${context_xml}" "<message" message_at)
    endwhile()
    string(SUBSTRING "${ts}" ${end} -1 ts)
    string(FIND "${ts}" "<context>" at)
endwhile()

get_filename_component(ts_name "${TS_FILE}" NAME)
file(CONFIGURE OUTPUT "${OUTPUT}" CONTENT [==[// Generated from @ts_name@ by cmake/CatalogueTable.cmake; do not edit.
#include "CatalogueTranslator.h"

namespace tavolex {

extern const CatalogueEntry kCatalogue[];
extern const std::size_t kCatalogueSize;

const CatalogueEntry kCatalogue[] = {
@entries@};
const std::size_t kCatalogueSize = @count@;

}  // namespace tavolex
]==] @ONLY)
