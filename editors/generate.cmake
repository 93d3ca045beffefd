# SPDX-License-Identifier: GPL-2.0-or-later
# Makes the editor files from their templates and the translator's keyword
# table, and packs the VS Code extension into a .vsix: the zip VS Code
# installs, with the extension's files under extension/ beside the two
# manifest files of the format.
#
# cmake -DLIST_PROGRAM=... -DSOURCE_DIR=... -DOUTPUT_DIR=... -DVERSION=...
#       -DLICENSE_FILE=... -P generate.cmake

cmake_minimum_required(VERSION 3.25)

execute_process(COMMAND ${LIST_PROGRAM} OUTPUT_VARIABLE table RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR table STREQUAL "")
  message(FATAL_ERROR "${LIST_PROGRAM} gave no keyword table (${status})")
endif()
file(WRITE ${OUTPUT_DIR}/keywords.txt "${table}")

# The words of the keywords that start with a letter ("rand(" gives rand,
# "clrscr();" clrscr), in the table's order: one regular expression
# alternative each, the same in every editor's dialect.
string(REPLACE "\n" ";" keywords "${table}")
set(words)
foreach(keyword IN LISTS keywords)
  string(REGEX MATCH "^[a-z]+" word "${keyword}")
  if(word AND NOT word IN_LIST words)
    list(APPEND words ${word})
  endif()
endforeach()
list(JOIN words "|" P83_STATEMENTS)

foreach(template
    vim/syntax/p83.vim nano/p83.nanorc gtksourceview/p83.lang
    vscode/syntaxes/p83.tmLanguage.json)
  configure_file(${SOURCE_DIR}/${template}.in ${OUTPUT_DIR}/${template} @ONLY)
endforeach()
foreach(plain vim/ftdetect/p83.vim vim/ftplugin/p83.vim)
  configure_file(${SOURCE_DIR}/${plain} ${OUTPUT_DIR}/${plain} COPYONLY)
endforeach()

# The extension as VS Code unpacks it, its version the tool chain's.
set(stage ${OUTPUT_DIR}/vsix)
file(REMOVE_RECURSE ${stage})
set(extension ${stage}/extension)
foreach(file extension.js README.md language-configuration.json z80-language-configuration.json
             syntaxes/z80-tasm.tmLanguage.json)
  configure_file(${SOURCE_DIR}/vscode/${file} ${extension}/${file} COPYONLY)
endforeach()
configure_file(${OUTPUT_DIR}/vscode/syntaxes/p83.tmLanguage.json
               ${extension}/syntaxes/p83.tmLanguage.json COPYONLY)
configure_file(${LICENSE_FILE} ${extension}/LICENSE.txt COPYONLY)
file(READ ${SOURCE_DIR}/vscode/package.json manifest)
string(REGEX REPLACE "\"version\": \"[^\"]*\"" "\"version\": \"${VERSION}\"" manifest "${manifest}")
string(JSON set_version GET "${manifest}" version)
if(NOT set_version STREQUAL VERSION)
  message(FATAL_ERROR "package.json's version could not be set to ${VERSION}")
endif()
string(JSON engine GET "${manifest}" engines vscode)
string(JSON display_name GET "${manifest}" displayName)
string(JSON description GET "${manifest}" description)
file(WRITE ${extension}/package.json "${manifest}")

file(WRITE "${stage}/[Content_Types].xml"
"<?xml version=\"1.0\" encoding=\"utf-8\"?>
<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">
<Default Extension=\".json\" ContentType=\"application/json\"/>
<Default Extension=\".js\" ContentType=\"application/javascript\"/>
<Default Extension=\".md\" ContentType=\"text/markdown\"/>
<Default Extension=\".txt\" ContentType=\"text/plain\"/>
<Default Extension=\".vsixmanifest\" ContentType=\"text/xml\"/>
</Types>
")
file(WRITE ${stage}/extension.vsixmanifest
"<?xml version=\"1.0\" encoding=\"utf-8\"?>
<PackageManifest Version=\"2.0.0\" xmlns=\"http://schemas.microsoft.com/developer/vsx-schema/2011\" xmlns:d=\"http://schemas.microsoft.com/developer/vsx-schema-design/2011\">
  <Metadata>
    <Identity Language=\"en-US\" Id=\"p83\" Version=\"${VERSION}\" Publisher=\"trovik\"/>
    <DisplayName>${display_name}</DisplayName>
    <Description xml:space=\"preserve\">${description}</Description>
    <Tags>TI-83,Z80,TASM,p83,debuggers</Tags>
    <Categories>Programming Languages,Debuggers</Categories>
    <GalleryFlags>Public</GalleryFlags>
    <Properties>
      <Property Id=\"Microsoft.VisualStudio.Code.Engine\" Value=\"${engine}\"/>
      <Property Id=\"Microsoft.VisualStudio.Code.ExtensionDependencies\" Value=\"\"/>
      <Property Id=\"Microsoft.VisualStudio.Code.ExtensionPack\" Value=\"\"/>
      <Property Id=\"Microsoft.VisualStudio.Code.ExtensionKind\" Value=\"workspace\"/>
      <Property Id=\"Microsoft.VisualStudio.Code.LocalizedLanguages\" Value=\"\"/>
    </Properties>
    <License>extension/LICENSE.txt</License>
  </Metadata>
  <Installation>
    <InstallationTarget Id=\"Microsoft.VisualStudio.Code\"/>
  </Installation>
  <Dependencies/>
  <Assets>
    <Asset Type=\"Microsoft.VisualStudio.Code.Manifest\" Path=\"extension/package.json\" Addressable=\"true\"/>
    <Asset Type=\"Microsoft.VisualStudio.Services.Content.Details\" Path=\"extension/README.md\" Addressable=\"true\"/>
    <Asset Type=\"Microsoft.VisualStudio.Services.Content.License\" Path=\"extension/LICENSE.txt\" Addressable=\"true\"/>
  </Assets>
</PackageManifest>
")

# The members in a fixed order and dated alike. (The zip's extended time
# field still carries each file's access and change times.)
file(GLOB_RECURSE members RELATIVE ${stage} ${stage}/extension/*)
list(SORT members)
execute_process(
  COMMAND ${CMAKE_COMMAND} -E tar cf ${OUTPUT_DIR}/trovik-p83.vsix --format=zip
          "--mtime=2026-01-01 00:00:00 UTC" --
          "[Content_Types].xml" extension.vsixmanifest ${members}
  WORKING_DIRECTORY ${stage} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the .vsix could not be packed (${status})")
endif()
