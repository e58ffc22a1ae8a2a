object Form3: TForm3
  Left = 200
  Top = 200
  BorderIcons = []
  BorderStyle = bsDialog
  Caption = 'セットアップ'
  ClientHeight = 65
  ClientWidth = 401
  Font.Charset = SHIFTJIS_CHARSET
  Font.Color = clWindowText
  Font.Height = -12
  Font.Name = 'ＭＳ Ｐゴシック'
  Font.Style = []
  OldCreateOrder = False
  Position = poScreenCenter
  PixelsPerInch = 96
  TextHeight = 12
  object Label1: TLabel
    Left = 8
    Top = 24
    Width = 385
    Height = 12
    Alignment = taCenter
    AutoSize = False
  end
end
